#include "app/puzzleapp.h"

#include "app/mainframe.h"
#include "app/qtservices.h"
#include "app/savedgamecommands.h"
#include "app/sessionkeeper.h"
#include "app/terminationsignals.h"
#include "game/displaychange.h"
#include "game/programfolders.h"
#include "ui/messageboxes.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>

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
    // What a save cut short in an earlier run left is finished or undone before anything reads it.
    frame_->savedGames().store().settleAll();
    // The settings of the last run and its unfinished game, in the player's folders.
    SessionKeeper& keeper = frame_->keeper();
    keeper.open(std::make_unique<SettingsFile>(SettingsFile::defaultPath()),
                ProgramFolders::current().playerFolder() + AutosaveStore::folderName());
    terminations_ = std::make_unique<TerminationSignals>();
    keeper.watch(*terminations_);
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &keeper,
                     [&keeper](QSessionManager&) { keeper.keepEverything(); });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &keeper, [&keeper] { keeper.ending(); });
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        // A new resolution (or colour depth, read with it) made from outside while we run.
        QObject::connect(screen, &QScreen::geometryChanged, frame_.get(), [this] {
            const QSize size = screen_->size();
            frame_->displayChange(size.width(), size.height(), screen_->depth());
        });
    }
    frame_->onCreate();
    frame_->show();
    // After the splash, with the window on the screen: the game an earlier run left.
    QTimer::singleShot(0, &keeper, [&keeper] { keeper.offerInterruptedGame(); });
    return true;
}
