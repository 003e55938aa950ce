#pragma once

#include <QColorDialog>
#include <QImage>

// The program's colour chooser: Qt's own (non-native) chooser in the skinned look, with a title
// of its own. Its 16 custom colours are process-wide, so every chooser of the program offers the
// colours defined in another until the program ends.
class CMyColorDialog : public QColorDialog {
    Q_OBJECT
public:
    static constexpr int skinBitmapId = 258;
    static constexpr int customColorCount = 16;
    inline static const QColor initialCustomColor{255, 210, 136};

    explicit CMyColorDialog(const QColor& initial, QWidget* parent = nullptr);

    // The window title shown when the chooser opens ("Color" unless set).
    void setTitle(const QString& title) { title_ = title; }
    QString title() const { return title_; }

    // Puts all 16 custom colours back to their starting colour (the main frame, when it is made).
    static void resetCustomColors();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void initDialog();

    QString title_ = QStringLiteral("Color");
    QImage skin_;
    bool initialized_ = false;
};
