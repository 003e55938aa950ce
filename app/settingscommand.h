#pragma once

#include <QObject>

class CMainFrame;
class QWidget;

// The command "Нас&тройки..." (32773): runs the settings dialog through the frame's modal runner
// and applies what the player confirmed. The outline colour button of the dialog comes back here,
// because a new colour repaints the elements at once, whatever the dialog's outcome.
class SettingsCommand : public QObject {
    Q_OBJECT
public:
    static constexpr int colorTitle = 117;

    explicit SettingsCommand(CMainFrame& frame);

    void run();
    // The colour chooser for the outline, owned by `dialog`.
    void chooseOutlineColor(QWidget* dialog);

private:
    CMainFrame& frame_;
};
