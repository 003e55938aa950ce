#pragma once

#include "ui/skin.h"

#include <QImage>
#include <QObject>
#include <QPushButton>

class QPainter;

// A push button drawn by the program: the wooden face tiled over it, two 3D frames, the text
// centred in black (in the label colour while disabled), and a focus frame inside.
class CSkinButton : public QPushButton {
    Q_OBJECT
public:
    struct State {
        bool pressed = false;
        bool disabled = false;
        bool focused = false;
    };

    explicit CSkinButton(const QString& text, QWidget* parent = nullptr);

    // The face to tile; a skinned dialog hands over the one it loaded when it opened. Without
    // one the button loads bitmap 258 itself. Either follows the ratio of the button's screen.
    void setFace(const ScreenBitmap& face);

    // Draws a skinned button into `rect` of the painter's device, whose origin is the button's.
    static void paintButton(QPainter& painter, const QRect& rect, const QString& text, const QFont& font,
                            const State& state, const QImage& face);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ScreenBitmap face_{SkinBitmap::buttonFace};
};

// Paints the plain push buttons of Qt's own dialogs (the file and colour choosers) as the
// program's buttons, with the given face.
class SkinButtonPainter : public QObject {
    Q_OBJECT
public:
    SkinButtonPainter(const ScreenBitmap& face, QObject* parent);

    // Paints `button` from now on; buttons other than push buttons are left as they are.
    void paint(QAbstractButton* button) { button->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ScreenBitmap face_;
};
