#pragma once

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
    // one the button loads bitmap 258 itself.
    void setFace(const QImage& face);

    // Draws a skinned button into `rect` of the painter's device, whose origin is the button's.
    static void paintButton(QPainter& painter, const QRect& rect, const QString& text, const QFont& font,
                            const State& state, const QImage& face);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage face_;
};

// Paints the plain push buttons of Qt's own dialogs (the file and colour choosers) as the
// program's buttons, with the given face.
class SkinButtonPainter : public QObject {
    Q_OBJECT
public:
    SkinButtonPainter(const QImage& face, QObject* parent);

    // Paints `button` from now on; buttons other than push buttons are left as they are.
    void paint(QAbstractButton* button) { button->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QImage face_;
};
