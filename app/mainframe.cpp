#include "app/mainframe.h"

#include "app/backgroundcommands.h"
#include "app/commandtable.h"
#include "app/fullscreenmode.h"
#include "app/picturecommands.h"
#include "app/previewcontrol.h"
#include "app/savedgamecommands.h"
#include "app/sessionkeeper.h"
#include "app/settingscommand.h"
#include "app/tablecommands.h"
#include "board/widgets/boardview.h"
#include "board/widgets/hinttipdialog.h"
#include "game/displaychange.h"
#include "game/programfolders.h"
#include "game/widgets/clockwindow.h"
#include "game/widgets/congratulationwindow.h"
#include "game/widgets/pausewindow.h"
#include "game/widgets/recordslistwindow.h"
#include "game/widgets/recordswindow.h"
#include "res/resources.h"
#include "res/stringids.h"
#include "res/strings.h"
#include "res/version.h"
#include "ui/aboutdialog.h"
#include "ui/backgroundmenu.h"
#include "ui/controlsdialog.h"
#include "ui/helpwindow.h"
#include "ui/mycolordialog.h"
#include "ui/picturewnd.h"
#include "ui/progressdialog.h"
#include "ui/skin.h"
#include "ui/splashwnd.h"

#include <QCloseEvent>
#include <QCursor>
#include <QIcon>
#include <QMenuBar>
#include <QTimerEvent>

namespace {
constexpr int hintCursorId = 311;
} // namespace

CMainFrame::CMainFrame(const FrameServices& services, QWidget* parent)
    : QMainWindow(parent), services_(services), renderer_(state_, *this, *services.sound, *services.cursor),
      joiner_(state_, *services.sound, *this),
      gameFlow_(state_, renderer_, *services.messages, *services.sound, *services.clock, *services.screen,
                *this),
      interaction_(state_, renderer_, joiner_, *this, *services.sound, *services.cursor),
      creation_(state_, gameFlow_, *this) {
    modalRunner_ = [this](QDialog& dialog) {
        const int result = dialog.exec();
        // Give the keyboard back to the board, or accelerators wait for a click where no window
        // manager does it for us.
        activateWindow();
        return result;
    };
    const QSize screen = services_.screen->size();
    state_.screenWidth = screen.width();
    state_.screenHeight = screen.height();
    state_.screenBitsPerPixel = services_.screen->depth();
    state_.deviceRatio = services_.screen->devicePixelRatio();

    Skin::create();
    splashWait_ = CSplashWnd::realWait;

    state_.background.loadTexture();
    state_.board.resize(state_.screenWidth, state_.screenHeight, state_.screenWidth, state_.screenHeight);

    boardView_ = new BoardView(state_, this);
    boardView_->attach(&renderer_, &interaction_);
    setCentralWidget(boardView_);
    boardView_->setFocus();

    pictureWnd_ = new CPictureWnd(state_, this);
    pictureWnd_->setFocusReturn([this] {
        activateWindow();
        boardView_->setFocus();
    });

    clockWindow_ = new ClockWindow(state_, boardView_);
    clockWindow_->setObjectName(QStringLiteral("clockWindow"));
    clockWindow_->setProperty("controlId", clockWindowId);
    clockWindow_->resize(clockWindowWidth, clockWindowHeight);

    commands_ = new CommandTable(this, [this] { return commandContext(); });
    preview_ = std::make_unique<PreviewControl>(*pictureWnd_, *boardView_, *commands_, *services_.screen);
    pictures_ = new PictureCommands(state_, gameFlow_, services_, modalRunner_, *preview_, this);
    settings_ = new SettingsCommand(state_, services_, modalRunner_, gameFlow_, joiner_, renderer_,
                                    *boardView_, *preview_, this);
    records_.setFolder(ProgramFolders::current().playerFolder());
    CMyColorDialog::initCustomColors();
    backgrounds_ = new BackgroundCommands(state_.background, *services_.sound, *commands_, modalRunner_,
                                          renderer_, *clockWindow_, *this);
    fullScreenMode_ = new FullScreenMode(*this, *menuBar(), state_, services_, *commands_, renderer_, *this,
                                         *preview_, backgrounds_->menu());
    savedGames_ = new SavedGameCommands(state_, gameFlow_, creation_, services_, modalRunner_, *preview_,
                                        *fullScreenMode_, this);
    keeper_ = new SessionKeeper(state_, services_, gameFlow_, creation_, renderer_, *savedGames_,
                                *fullScreenMode_, *preview_, *clockWindow_, *this);
    // The place the player gives the preview is kept at once, as the settings are.
    preview_->setPlayerPlaceChanged([this] { keeper_->rememberSettings(); });
    bindCommands();
    commands_->buildMenuBar(menuBar());
    commands_->installAccelerators();

    clockTimer_.setInterval(1000);
    clockTimer_.setTimerType(Qt::CoarseTimer);
    clockTimer_.setObjectName(QStringLiteral("clockTimer%1").arg(clockTimerId));
    connect(&clockTimer_, &QTimer::timeout, this, [this] { gameFlow_.clockTick(); });

    setWindowTitle(QStringLiteral("Puzzle from Brindlecot ") + shownVersion());
    setWindowIcon(QIcon(iconResourcePath(128)));
    placeWindow();
    updateCursor();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::bindCommands() {
    CommandTable& c = *commands_;
    c.setHandler(Cmd::NewGame, [this] { creation_.newGame(); });
    c.setHandler(Cmd::SaveGame, [this] { savedGames_->saveGame(); });
    c.setHandler(Cmd::LoadGame, [this] { savedGames_->loadGame(); });
    c.setHandler(Cmd::Settings, [this] {
        settings_->run();
        keeper_->rememberSettings();
    });
    c.setHandler(Cmd::Exit, [this] { close(); });
    c.setHandler(Cmd::LoadPicture, [this] { pictures_->loadPicture(); });
    c.setHandler(Cmd::CutPicture, [this] { pictures_->cutPicture(); });
    c.setHandler(Cmd::CreateElements, [this] { creation_.createElements(); });
    c.setHandler(Cmd::FullScreen, [this] { fullScreenMode_->toggle(); });
    c.setHandler(Cmd::ShowPicture, [this] { preview_->toggle(); });
    bindTableCommands(c, interaction_);
    c.setHandler(Cmd::LeftMovesBlocks, [this] {
        state_.options.leftButtonMovesBlocks = !state_.options.leftButtonMovesBlocks;
        keeper_->rememberSettings();
    });
    backgrounds_->bindHandlers(c, [this] { keeper_->rememberSettings(); });
    c.setHandler(Cmd::HelpContents,
                 [this] { CHelpWindow::open(this, HelpFile::defaultPath(), HelpFile::contentsTopic); });
    c.setHandler(Cmd::Controls, [this] { runWindow<CControlsDialog>(Placement::Own); });
    c.setHandler(Cmd::About, [this] { runWindow<CAboutDialog>(Placement::Own); });
    c.setHandler(Cmd::Splash, [this] { showSplash(); });
    c.setHandler(Cmd::Pause, [this] { gameFlow_.pause(); });
    c.setHandler(Cmd::Records, [this] { showRecords(); });
    c.setHandler(Cmd::PopupMenu, [this] { fullScreenMode_->popupMenu(); });
}

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
    const QRect framed =
        framedWindowRect(QSize(state_.screenWidth, state_.screenHeight), FramedRounding::TwoThirds);
    move(framed.topLeft());
    resize(framed.size());
}

QString CMainFrame::programFolder() const {
    // The help file, the sound and the sample pictures: beside the program, or where it is installed.
    return ProgramFolders::current().dataFolder();
}

int CMainFrame::fullScreen() const {
    return fullScreenMode_->isOn() ? 1 : 0;
}

CommandContext CMainFrame::commandContext() const {
    CommandContext c;
    c.flags = state_.flags;
    c.previewVisible = preview_->visible();
    c.fullScreen = fullScreenMode_->isOn();
    c.elementsExist = state_.hasElements();
    c.holding = state_.input.pickedElement != -1;
    c.leftButtonMovesBlocks = state_.options.leftButtonMovesBlocks;
    c.showTimer = state_.settings.showTimer != 0;
    c.savedGameCount = [this] { return savedGames_->flow().savedGameCount(); };
    return c;
}

bool CMainFrame::runCommand(int id) {
    return commands_->run(id);
}

void CMainFrame::updateCursor() {
    // The hint cursor in hint mode, else the arrow.
    if (state_.input.hintMode)
        boardView_->setCursor(QCursor(cursorPixmap(hintCursorId, devicePixelRatioF()),
                                      cursorHotSpot(hintCursorId).x(), cursorHotSpot(hintCursorId).y()));
    else
        boardView_->unsetCursor();
}

std::unique_ptr<IProgress> CMainFrame::openProgress(int captionId) {
    return std::make_unique<CProgressDialog>(this, captionId);
}

void CMainFrame::invalidate(const QRegion& clientRegion) {
    boardView_->update(clientRegion);
}
void CMainFrame::invalidateAll() {
    boardView_->update();
}
void CMainFrame::updateNow() {
    boardView_->repaint();
}

void CMainFrame::restartClockTimer() {
    clockTimer_.stop();
    clockTimer_.start();
}
void CMainFrame::stopClockTimer() {
    clockTimer_.stop();
}
bool CMainFrame::clockWindowVisible() const {
    return !clockWindow_->isHidden();
}
void CMainFrame::setClockWindowVisible(bool visible) {
    clockWindow_->setVisible(visible);
}
void CMainFrame::invalidateClockWindow() {
    clockWindow_->update();
}

void CMainFrame::runCentred(QDialog& window) {
    window.move(mapToGlobal(rect().center()) - window.rect().center());
    runDialog(window);
}

void CMainFrame::runPauseWindow() {
    runWindow<PauseWindow>(Placement::Centred);
}

void CMainFrame::runCongratulation() {
    runWindow<CongratulationWindow>(Placement::Centred);
}

void CMainFrame::runRecords(std::int64_t seconds) {
    FinishReport report;
    {
        // A large picture takes a moment to know again.
        const WaitCursor wait(*services_.cursor);
        report = records_.finish(state_, seconds, services_.clock->nowSeconds());
    }
    RecordsWindow window(report, this);
    runCentred(window);
}

void CMainFrame::showRecords() {
    const auto showReport = [this](const FinishReport& report) {
        RecordsWindow window(report, this);
        runCentred(window);
    };
    if (state_.hasElements()) {
        FinishReport report;
        {
            // Knowing a large picture again takes a moment.
            const WaitCursor wait(*services_.cursor);
            report = records_.current(state_);
        }
        showReport(report);
        return;
    }
    RecordsListWindow list(records_.overview(), this);
    list.setOpenReport(showReport);
    runCentred(list);
}

void CMainFrame::hidePreview() {
    preview_->hide();
}

void CMainFrame::repaintPreview() {
    preview_->repaint();
}

void CMainFrame::endMouseCapture() {
    if (QWidget::mouseGrabber() == boardView_)
        boardView_->releaseMouse();
}

void CMainFrame::announceCompletion() {
    keeper_->gameCompleted();
    gameFlow_.announceCompletion();
}

// Qt's implicit grab on the press already sends every move and the release to the board.
void CMainFrame::captureMouse() {}

QSize CMainFrame::clientSize() const {
    return boardView_->size();
}

QRect CMainFrame::hiddenClientArea() const {
    return clockWindow_->isHidden() ? QRect() : clockWindow_->geometry();
}

void CMainFrame::showHintTip(int row, int column, QPoint clientPoint) {
    // The usable area: the whole screen in full-screen mode, else the work area without the
    // task bar.
    const QRect area = fullScreenMode_->isOn() ? QRect(QPoint(0, 0), services_.screen->size())
                                               : services_.screen->availableGeometry();
    HintTipDialog tip(row, column, boardView_->mapToGlobal(clientPoint), area.x() + area.width(),
                      area.y() + area.height(), this);
    runDialog(tip);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (state_.gameUnderWay() &&
        services_.messages->messageBox(loadString(Str::QuitQuestion), MessageKind::Question,
                                       MessageButtons::YesNo) != MessageResult::Yes) {
        event->ignore();
        return;
    }
    // The game and the settings are kept for the next run, the game as it stands now.
    if (!keeper_->quitting()) {
        event->ignore();
        return;
    }
    if (fullScreenMode_->isOn())
        fullScreenMode_->leave();
    clockTimer_.stop();
    event->accept();
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::ScreenChangeInternal)
        screenChanged();
    return QMainWindow::event(event);
}

void CMainFrame::screenChanged() {
    state_.deviceRatio = std::max(state_.deviceRatio, services_.screen->devicePixelRatio());
    updateCursor();
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        // The screen announces size changes; a change of colour depth alone is noticed here.
        const int depth = services_.screen->depth();
        if (depth != state_.screenBitsPerPixel)
            displayChange(services_.screen->size().width(), services_.screen->size().height(), depth);
        fullScreenMode_->activated();
    }
}

void CMainFrame::displayChange(int width, int height, int depth) {
    fullScreenMode_->displayChange(width, height, depth);
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
