#pragma once

#include <QTimer>
#include <QWidget>

class QLineEdit;

// An up-down control beside an edit field (its buddy): the arrows step the number the field
// holds through a range, wrapping from one end to the other, and write it back into the field.
// The Up and Down keys in the field do the same. It takes the right end of the field's place,
// so the field becomes narrower by the arrows' width.
class CSpinButton : public QWidget {
    Q_OBJECT
public:
    static constexpr int arrowsWidth = 16;

    explicit CSpinButton(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* buddy);
    QLineEdit* buddy() const { return buddy_; }
    void setRange(int lower, int upper);
    int lower() const { return lower_; }
    int upper() const { return upper_; }
    // Clamped to the range; the field shows the new position.
    void setPosition(int position);
    int position() const { return position_; }

    // One step up (+1) or down (-1) from the number in the field (or the last position when the
    // field holds no number), wrapping at the ends of the range.
    void step(int direction);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QLineEdit* buddy_ = nullptr;
    int lower_ = 0;
    int upper_ = 100;
    int position_ = 0;
    int pressedHalf_ = 0; // +1 upper arrow held, -1 lower arrow held
    QTimer repeat_;       // an arrow held down keeps stepping
};
