#pragma once

#include <QDialog>
#include <QImage>

// "Hooray! Hooray!" over whatever lies behind: only the lettering is painted. Any click, key
// (but Ctrl) or loss of focus closes it.
class CongratulationWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 287;
    static constexpr int letteringBitmap = 285;
    static constexpr int maskBitmap = 286;

    explicit CongratulationWindow(QWidget* parent = nullptr);

    // The lettering with its mask applied: transparent outside the letters.
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QImage image_;
};
