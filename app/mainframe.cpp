#include "app/mainframe.h"

#include "app/backgroundcommands.h"
#include "app/commandtable.h"
#include "app/fullscreenmode.h"
#include "app/picturecommands.h"
#include "app/settingscommand.h"
#include "app/savedgamecommands.h"
#include "board/widgets/boardview.h"
#include "board/widgets/hinttipdialog.h"
#include "game/programfolders.h"
#include "game/widgets/clockwindow.h"
#include "game/widgets/congratulationwindow.h"
#include "game/widgets/pausewindow.h"
#include "game/widgets/recordswindow.h"
#include "model/picture.h"
#include "model/widgets/progressdialog.h"
#include "res/resources.h"
#include "res/strings.h"
#include "ui/aboutdialog.h"
#include "ui/backgroundmenu.h"
#include "ui/controlsdialog.h"
#include "ui/helpwindow.h"
#include "ui/mycolordialog.h"
#include "ui/picturewnd.h"
#include "ui/skin.h"
#include "ui/splashwnd.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QIcon>
#include <QMenuBar>
#include <QMetaObject>
#include <QTimerEvent>

namespace {
constexpr int kQuitQuestion = 32830;
constexpr int hintCursorId = 311;
} // namespace

CMainFrame::CMainFrame(const FrameServices& services, QWidget* parent)
    : QMainWindow(parent), services_(services), random_(std::make_unique<StandardRandom>()),
      renderer_(state_, *this, *services.sound, *services.cursor),
      joiner_(state_, renderer_, *services.sound, *this),
      gameFlow_(state_, renderer_, *services.messages, *services.sound, *services.clock, *services.screen,
                *this),
      interaction_(state_, renderer_, joiner_, *this, *services.sound, *services.cursor) {
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

    Skin::create(state_.settings.outlineColor);
    splashWait_ = CSplashWnd::realWait;

    state_.background.loadTexture();
    state_.board.resize(state_.screenWidth, state_.screenHeight, state_.screenWidth, state_.screenHeight);
    state_.board.paintBackground(state_.background);

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
    commands_->setHandler(Cmd::Exit, [this] { close(); });
    commands_->setHandler(Cmd::About, [this] {
        CAboutDialog dialog(this);
        modalRunner_(dialog);
    });
    commands_->setHandler(Cmd::Controls, [this] {
        CControlsDialog dialog(this);
        modalRunner_(dialog);
    });
    commands_->setHandler(Cmd::HelpContents, [this] {
        CHelpWindow::open(this, HelpFile::defaultPath(), HelpFile::contentsTopic);
    });
    commands_->setHandler(Cmd::Splash, [this] { showSplash(); });
    auto* pictures = new PictureCommands(*this);
    commands_->setHandler(Cmd::LoadPicture, [pictures] { pictures->loadPicture(); });
    commands_->setHandler(Cmd::CutPicture, [pictures] { pictures->cutPicture(); });
    commands_->setHandler(Cmd::CreateElements, [this] { createElements(); });
    commands_->setHandler(Cmd::NewGame, [this] { newGame(); });
    commands_->setHandler(Cmd::Pause, [this] { gameFlow_.pause(); });
    commands_->setHandler(Cmd::ShowPicture, [this] { togglePreview(); });
    auto* settings = new SettingsCommand(*this);
    commands_->setHandler(Cmd::Settings, [settings] { settings->run(); });
    savedGames_ = new SavedGameCommands(*this);
    records_.setFolder(ProgramFolders::current().playerFolder());
    commands_->setHandler(Cmd::SaveGame, [this] { savedGames_->saveGame(); });
    commands_->setHandler(Cmd::LoadGame, [this] { savedGames_->loadGame(); });
    CMyColorDialog::initCustomColors();
    backgrounds_ = new BackgroundCommands(*this);
    fullScreenMode_ = new FullScreenMode(*this, backgrounds_->menu());
    commands_->buildMenuBar(menuBar());
    commands_->installAccelerators();

    clockTimer_.setInterval(1000);
    clockTimer_.setTimerType(Qt::CoarseTimer);
    clockTimer_.setObjectName(QStringLiteral("clockTimer%1").arg(clockTimerId));
    connect(&clockTimer_, &QTimer::timeout, this, [this] { gameFlow_.clockTick(); });

    setWindowTitle(QStringLiteral("Puzzle from Brindlecot 1.8 Test"));
    setWindowIcon(QIcon(iconResourcePath(128)));
    placeWindow();
    updateCursor();
}

CMainFrame::~CMainFrame() {
    if (worker_.joinable())
        worker_.join();
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
    const int w = state_.screenWidth, h = state_.screenHeight;
    move(w / 6, h / 6);
    resize(w * 2 / 3, h * 2 / 3);
}

QString CMainFrame::programFolder() const {
    // The help file, the sound and the sample pictures: beside the program, or where it is installed.
    return ProgramFolders::current().dataFolder();
}

CommandContext CMainFrame::commandContext() const {
    CommandContext c;
    c.flags = state_.flags;
    c.previewVisible = previewVisible();
    c.fullScreen = fullScreen_ == 1;
    c.turningBusy = turningBusy_.load();
    c.savedGameCount = [this] { return savedGames_->flow().savedGameCount(); };
    return c;
}

bool CMainFrame::runCommand(int id) {
    return commands_->run(id);
}

void CMainFrame::updateCursor() {
    // The program's icon while the picture turns, the hint cursor in hint mode, else the arrow.
    static const QCursor busy(QPixmap(iconResourcePath(128)));
    static const QCursor hint(QPixmap(cursorResourcePath(hintCursorId)), cursorHotSpot(hintCursorId).x(),
                              cursorHotSpot(hintCursorId).y());
    pictureWnd_->setBusyCursor(turningBusy_.load() ? &busy : nullptr);
    if (turningBusy_.load())
        boardView_->setCursor(busy);
    else if (state_.hintMode)
        boardView_->setCursor(hint);
    else
        boardView_->unsetCursor();
}

void CMainFrame::repaintBoard() {
    boardView_->update();
}

void CMainFrame::newGame() {
    runCommand(Cmd::LoadPicture);
    if (!(state_.flags.pictureLoaded && !state_.flags.cutDone))
        return;
    runCommand(Cmd::CutPicture);
    if (state_.flags.cutDone)
        runCommand(Cmd::CreateElements);
}

void CMainFrame::createElements() {
    // One worker at a time: a second would write the same pictures.
    if (turningBusy_.load())
        return;
    switch (gameFlow_.beginCreateElements()) {
    case GameFlow::CreateStep::Declined:
        return;
    case GameFlow::CreateStep::GenerateNow:
        generateNow();
        return;
    case GameFlow::CreateStep::TurnPictureFirst:
        startTurningWorker();
        return;
    }
}

void CMainFrame::generateNow() {
    if (state_.cutRows * state_.cutColumns >= progressThreshold) {
        CProgressDialog progress(this);
        progress.setCaption(loadString(116));
        gameFlow_.generateElements(*random_, &progress);
    } else {
        gameFlow_.generateElements(*random_, nullptr);
    }
}

void CMainFrame::startTurningWorker() {
    startTurningWorker(state_.turnedPictures[0], {});
}

void CMainFrame::startTurningLoadedPicture(const QImage& picture, std::shared_future<void> handOver) {
    startTurningWorker(picture, std::move(handOver));
}

void CMainFrame::startTurningWorker(const QImage& picture, std::shared_future<void> handOver) {
    if (worker_.joinable())
        worker_.join();
    turningBusy_ = true;
    boardView_->setPickingBlocked(true);
    updateCursor();
    const QPoint cursorAt = services_.cursor->position() + QPoint(1, 1);
    services_.cursor->setPosition(cursorAt);
    std::array<QImage, 4> pictures{picture, {}, {}, {}};
    // The worker turns its own copies (the picture itself is only read); the main thread takes
    // them over when it is done, so nothing is written by both. A loaded game's elements are
    // built meanwhile: the handover waits until they are.
    worker_ = std::thread([this, pictures, cursorAt, handOver]() mutable {
        const bool ok = buildTurnedPictures(pictures);
        if (handOver.valid())
            handOver.wait();
        QMetaObject::invokeMethod(
            this,
            [this, ok, pictures = std::move(pictures), cursorAt]() mutable {
                turningFinished(ok, std::move(pictures));
                services_.cursor->setPosition(cursorAt);
            },
            Qt::QueuedConnection);
    });
}

void CMainFrame::turningFinished(bool ok, std::array<QImage, 4> pictures) {
    boardView_->setPickingBlocked(false);
    if (!ok) {
        turningBusy_ = false;
        updateCursor();
        services_.messages->messageBox(loadString(32827), MessageKind::Error, MessageButtons::Ok);
        return;
    }
    for (int k = 1; k < 4; ++k)
        state_.turnedPictures[k] = std::move(pictures[k]);
    if (state_.flags.generateAfterTurning)
        generateNow();
    else
        gameFlow_.gameReady();
    turningBusy_ = false;
    updateCursor();
}

void CMainFrame::startLoadedGame() {
    if (turningBusy_.load())
        return; // turning since the game was read; it hands over by itself
    if (state_.cut.rotateElements) {
        state_.flags.generateAfterTurning = 0;
        startTurningWorker();
    } else {
        gameFlow_.gameReady();
    }
}

void CMainFrame::waitForWorker() {
    while (turningBusy_.load()) {
        if (worker_.joinable())
            worker_.join();
        QCoreApplication::sendPostedEvents(this);
    }
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

void CMainFrame::runPauseWindow() {
    PauseWindow window(this);
    window.move(mapToGlobal(rect().center()) - window.rect().center());
    modalRunner_(window);
}

void CMainFrame::runCongratulation() {
    CongratulationWindow window(this);
    window.move(mapToGlobal(rect().center()) - window.rect().center());
    modalRunner_(window);
}

void CMainFrame::runRecords(std::int64_t seconds) {
    FinishReport report;
    {
        // A large picture takes a moment to know again.
        const WaitCursor wait(*services_.cursor);
        report = records_.finish(state_, seconds, services_.clock->nowSeconds());
    }
    RecordsWindow window(report, this);
    window.move(mapToGlobal(rect().center()) - window.rect().center());
    modalRunner_(window);
}

bool CMainFrame::previewVisible() const {
    return pictureWnd_ && pictureWnd_->isVisible();
}

void CMainFrame::togglePreview() {
    // The client area is the board view; the menu bar is not part of it.
    pictureWnd_->toggle(QRect(boardView_->mapToGlobal(QPoint(0, 0)), boardView_->size()));
}

void CMainFrame::hidePreview() {
    pictureWnd_->hide();
}

// Through the command, so it ends shown, sized and placed for the new picture: a shown window is
// hidden by the first toggle and shown again by the second.
void CMainFrame::showPreviewOfNewPicture() {
    runCommand(Cmd::ShowPicture);
    if (!previewVisible())
        runCommand(Cmd::ShowPicture);
}

void CMainFrame::fitPreviewToPicture() {
    pictureWnd_->fitToPicture();
}

void CMainFrame::repaintPreview() {
    if (previewVisible())
        pictureWnd_->repaint();
}

void CMainFrame::endMouseCapture() {
    if (QWidget::mouseGrabber() == boardView_)
        boardView_->releaseMouse();
}

void CMainFrame::announceCompletion() {
    gameFlow_.announceCompletion();
}

// Qt's implicit grab on the press already sends every move and the release to the board.
void CMainFrame::captureMouse() {}

QSize CMainFrame::clientSize() const {
    return boardView_->size();
}

void CMainFrame::showHintTip(int row, int column, QPoint clientPoint) {
    // The usable area: the whole screen in full-screen mode, else the work area without the
    // task bar.
    const QRect area =
        fullScreen_ ? QRect(QPoint(0, 0), services_.screen->size()) : services_.screen->availableGeometry();
    HintTipDialog tip(row, column, boardView_->mapToGlobal(clientPoint), area.x() + area.width(),
                      area.y() + area.height(), this);
    modalRunner_(tip);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (state_.flags.gameUnderWay() &&
        services_.messages->messageBox(loadString(kQuitQuestion), MessageKind::Question,
                                       MessageButtons::YesNo) != MessageResult::Yes) {
        event->ignore();
        return;
    }
    if (fullScreen_)
        fullScreenMode_->leave();
    clockTimer_.stop();
    event->accept();
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
