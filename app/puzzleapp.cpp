#include "app/puzzleapp.h"

#include "app/mainframe.h"
#include "app/qtservices.h"
#include "game/displaychange.h"
#include "ui/messageboxes.h"

#include <QGuiApplication>
#include <QScreen>

CPuzzleApp::CPuzzleApp() = default;
CPuzzleApp::~CPuzzleApp() = default;

bool CPuzzleApp::checkDisplay(const IScreen& screen, IMessageBox& messages) {
    const QSize size = screen.size();
    return goOnAtDepth(messages, size.width(), size.height(), screen.depth());
}

bool CPuzzleApp::initInstance() {
    screen_ = std::make_unique<QtScreen>();
    clock_ = std::make_unique<QtClock>();
    cursor_ = std::make_unique<QtCursor>();
    sound_ = std::make_unique<QtSound>();
    messages_ = createProgramMessageBox(sound_.get());
    if (!checkDisplay(*screen_, *messages_))
        return false;
    FrameServices services{messages_.get(), sound_.get(), clock_.get(), screen_.get(), cursor_.get()};
    frame_ = std::make_unique<CMainFrame>(services);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        // A new resolution (or colour depth, read with it) made from outside while we run.
        QObject::connect(screen, &QScreen::geometryChanged, frame_.get(), [this] {
            const QSize size = screen_->size();
            frame_->displayChange(size.width(), size.height(), screen_->depth());
        });
    }
    frame_->onCreate();
    frame_->show();
    return true;
}
