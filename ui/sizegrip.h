#pragma once

#include <QWidget>

class CPictureWnd;

// The grip in the picture window's bottom-right corner: icon 170, and dragging it resizes the
// window by its bottom-right corner.
class CSizeGrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int width = 15;
    static constexpr int height = 15;

    explicit CSizeGrip(CPictureWnd* window);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CPictureWnd* window_;
};
