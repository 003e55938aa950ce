#pragma once

#include <QAbstractButton>

#include <functional>

class QPainter;

// A check box drawn by the program. It is a push button to the dialog: each click only reports
// itself, and the dialog's own flag (asked through `flag`) says whether it shows on or off. The
// background tile is chosen from the control's top in its dialog, so the stripes run on.
class CSkinCheckBox : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int boxSize = 13;
    static constexpr int labelLeft = 15;

    CSkinCheckBox(const QString& text, std::function<bool()> flag, QWidget* parent = nullptr);

    bool flagOn() const { return flag_ && flag_(); }

    // The control's top edge in its window's client coordinates.
    int topInDialog() const;

    // Draws the check box into an image of the control's size, at `ratio` pixels to each of its
    // own for a screen of that ratio.
    static QImage render(const QSize& size, const QString& text, const QFont& font, bool on, bool pressed,
                         bool focused, int topInDialog, double ratio = 1.0);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<bool()> flag_;
};
