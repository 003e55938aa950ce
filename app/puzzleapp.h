#pragma once

#include "app/frameservices.h"

#include <memory>

class CMainFrame;
class QtClock;
class QtCursor;
class QtScreen;
class QtSound;
class IMessageBox;
class TerminationSignals;

// Start-up: checks the display, creates the main frame and shows it.
class CPuzzleApp {
public:
    CPuzzleApp();
    ~CPuzzleApp();

    // False ends the program before any window exists.
    bool initInstance();

    // The colour-depth question: at 8 bits per pixel or fewer the player is asked whether to go
    // on; anything but Yes is false.
    static bool checkDisplay(const IScreen& screen, IMessageBox& messages);

    CMainFrame* mainFrame() const { return frame_.get(); }

private:
    std::unique_ptr<QtScreen> screen_;
    std::unique_ptr<QtClock> clock_;
    std::unique_ptr<QtCursor> cursor_;
    std::unique_ptr<QtSound> sound_;
    std::unique_ptr<IMessageBox> messages_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<TerminationSignals> terminations_;
};
