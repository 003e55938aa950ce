#pragma once

#include <QColorDialog>

// The program's colour chooser: Qt's own (non-native) colour dialog in the skin's look, with the
// shared table of 16 custom colours. Qt keeps custom colours for the whole process, which is
// exactly a table shared by every chooser until the program ends; all 16 start light orange.
class CMyColorDialog : public QColorDialog {
    Q_OBJECT
public:
    static constexpr const char* objectNameText = "myColorDialog";
    static constexpr int skinBitmapId = 258;

    explicit CMyColorDialog(const QColor& initial, QWidget* parent = nullptr);

    void setTitle(const QString& title) { setWindowTitle(title); }

    // Fills the shared table with its starting colour, once per run.
    static void initCustomColors();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool skinned_ = false;
};
