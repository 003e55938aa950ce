#include "app/mainframe.h"

#include "app/commandtable.h"
#include "board/widgets/boardview.h"
#include "game/widgets/clockwindow.h"
#include "res/resources.h"
#include "ui/aboutdialog.h"
#include "ui/controlsdialog.h"
#include "ui/helpwindow.h"
#include "ui/skin.h"
#include "ui/splashwnd.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QIcon>
#include <QMenuBar>

namespace {
const char* const kQuitQuestion = "Выйти из игры?";
} // namespace

CMainFrame::CMainFrame(const FrameServices& services, QWidget* parent)
    : QMainWindow(parent), services_(services) {
    const QSize screen = services_.screen->size();
    state_.screenWidth = screen.width();
    state_.screenHeight = screen.height();
    state_.screenBitsPerPixel = services_.screen->depth();

    Skin::create(state_.settings.outlineColor);
    splashWait_ = CSplashWnd::realWait;

    state_.background.loadTexture();
    state_.board.resize(state_.screenWidth, state_.screenHeight, state_.screenWidth, state_.screenHeight);
    state_.board.paintBackground(state_.background);

    boardView_ = new BoardView(state_, this);
    setCentralWidget(boardView_);

    clockWindow_ = new ClockWindow(state_, boardView_);
    clockWindow_->setObjectName(QStringLiteral("clockWindow"));
    clockWindow_->setProperty("controlId", clockWindowId);
    clockWindow_->resize(clockWindowWidth, clockWindowHeight);

    commands_ = new CommandTable(this, [this] { return commandContext(); });
    commands_->setHandler(Cmd::Exit, [this] { close(); });
    commands_->setHandler(Cmd::About, [this] { CAboutDialog(this).exec(); });
    commands_->setHandler(Cmd::Controls, [this] { CControlsDialog(this).exec(); });
    commands_->setHandler(Cmd::HelpContents, [this] {
        CHelpWindow::open(this, programFolder() + QStringLiteral("quix.hlp"), HelpFile::contentsTopic);
    });
    commands_->setHandler(Cmd::Splash, [this] { showSplash(); });
    commands_->buildMenuBar(menuBar());
    commands_->installAccelerators();

    clockTimer_.setInterval(1000);
    clockTimer_.setTimerType(Qt::CoarseTimer);

    setWindowTitle(QStringLiteral("Puzzle from Brindlecot 1.8 Test"));
    setWindowIcon(QIcon(iconResourcePath(128)));
    placeWindow();
    updateCursor();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::onCreate() {
    if (splashOnce_) {
        splashOnce_ = 0;
        showSplash();
    }
}

void CMainFrame::showSplash() {
    CSplashWnd::showSplash(this, QSize(state_.screenWidth, state_.screenHeight), splashWait_);
}

void CMainFrame::placeWindow() {
    const int w = state_.screenWidth, h = state_.screenHeight;
    move(w / 6, h / 6);
    resize(w * 2 / 3, h * 2 / 3);
}

QString CMainFrame::programFolder() const {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

CommandContext CMainFrame::commandContext() const {
    CommandContext c;
    c.flags = state_.flags;
    c.previewVisible = previewVisible_;
    c.fullScreen = fullScreen_ == 1;
    c.turningBusy = turningBusy_.load();
    return c;
}

bool CMainFrame::runCommand(int id) {
    return commands_->run(id);
}

void CMainFrame::updateCursor() {
    if (turningBusy_.load())
        boardView_->setCursor(QCursor(QPixmap(iconResourcePath(128))));
    else if (state_.hintMode)
        boardView_->setCursor(QCursor(QPixmap(cursorResourcePath(311))));
    else
        boardView_->unsetCursor();
}

void CMainFrame::repaintBoard() {
    boardView_->update();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (state_.flags.gameUnderWay() &&
        services_.messages->messageBox(QString::fromUtf8(kQuitQuestion), MessageKind::Question,
                                       MessageButtons::YesNo) != MessageResult::Yes) {
        event->ignore();
        return;
    }
    clockTimer_.stop();
    event->accept();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placeClockWindow();
}

void CMainFrame::placeClockWindow() {
    if (!clockWindow_ || !boardView_)
        return;
    clockWindow_->move(boardView_->width() - clockWindowWidth, boardView_->height() - clockWindowHeight);
}
