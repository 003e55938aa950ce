#include "app/sessionkeeper.h"

#include "app/frameservices.h"
#include "app/fullscreenmode.h"
#include "app/previewcontrol.h"
#include "app/savedgamecommands.h"
#include "app/terminationsignals.h"
#include "board/boardrenderer.h"
#include "game/creationflow.h"
#include "game/gameflow.h"
#include "game/gamestate.h"
#include "game/widgets/myfiledialog.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QWidget>

SessionKeeper::SessionKeeper(GameState& state, const FrameServices& services, GameFlow& gameFlow,
                             const CreationFlow& creation, BoardRenderer& renderer,
                             SavedGameCommands& savedGames, const FullScreenMode& fullScreen,
                             PreviewControl& preview, QWidget& clockWindow, QWidget& window)
    : QObject(&window), state_(state), services_(services), gameFlow_(gameFlow), renderer_(renderer),
      savedGames_(savedGames), fullScreen_(fullScreen), preview_(preview), clockWindow_(clockWindow),
      window_(window), autosave_(state, *services.clock) {
    autosave_.setFullScreenProbe([this] { return fullScreen_.isOn() ? 1 : 0; });
    autosave_.setHoldBack([&creation] { return creation.building(); });
    // The autosave writes a game's picture once, soon after the game is made or loaded; a save
    // of the game takes that file as it is and writes only its text.
    savedGames_.flow().store().setPictureSource(
        [this](const QImage& picture) { return autosave_.pictureOnDisk(picture); });
    savedGames_.flow().setKnownPictures([this](const QString& path) { return autosave_.pictureAt(path); });
}

SessionKeeper::~SessionKeeper() = default;

void SessionKeeper::open(std::unique_ptr<ISettingsStore> store, const QString& autosaveFolder) {
    store_ = std::move(store);
    PlayerSettings current;
    current.settings = state_.settings;
    current.leftButtonMovesBlocks = state_.options.leftButtonMovesBlocks;
    current.takeBackground(state_.background);
    remembered_ = current;
    if (store_)
        store_->load(remembered_);
    // Without a settings file nothing changes: the first run is the program as it always was.
    if (remembered_ != current)
        applySettings(remembered_);
    if (!autosaveFolder.isEmpty())
        autosave_.open(autosaveFolder);
}

void SessionKeeper::applySettings(const PlayerSettings& s) {
    // Nothing is on the board yet, so the settings and the background are taken as they are.
    const bool clockShown = state_.settings.showTimer != 0;
    state_.settings = s.settings;
    state_.options.leftButtonMovesBlocks = s.leftButtonMovesBlocks;
    if ((state_.settings.showTimer != 0) != clockShown)
        gameFlow_.applyClockVisibility();
    s.giveBackground(state_.background);
    renderer_.redrawBoard({.clearBackground = true});
    clockWindow_.update();

    if (!s.pictureFolder.isEmpty() && QFileInfo(s.pictureFolder).isDir())
        CMyFileDialog::setRememberedFolder(s.pictureFolder);
    preview_.setPlayerPlace(s.preview);
    if (s.window) {
        window_.setGeometry(fitWindow(*s.window, services_.screen->availableGeometry()));
        if (s.maximised)
            window_.setWindowState(window_.windowState() | Qt::WindowMaximized);
    }
}

void SessionKeeper::rememberSettings() {
    if (!store_ || ended_)
        return;
    remembered_.settings = state_.settings;
    remembered_.leftButtonMovesBlocks = state_.options.leftButtonMovesBlocks;
    remembered_.takeBackground(state_.background);
    remembered_.preview = preview_.playerPlace();
    if (const QString folder = CMyFileDialog::rememberedFolder(); !folder.isEmpty())
        remembered_.pictureFolder = folder;
    // In full-screen mode the window covers the screen; its framed place is the one to keep.
    if (!fullScreen_.isOn() && !window_.isMinimized()) {
        remembered_.window = window_.normalGeometry();
        remembered_.maximised = window_.isMaximized();
    }
    store_->save(remembered_);
}

void SessionKeeper::offerInterruptedGame() {
    // A folder this run may only read still offers the game it holds.
    if (ended_)
        return;
    if (const std::optional<AutosaveStore::Files> files = autosave_.interrupted()) {
        savedGames_.flow().prepareToReadFiles(files->picture, files->game);
        const int answer = services_.messages->messageBox(loadString(Str::ContinueInterruptedGame),
                                                          MessageKind::Question, MessageButtons::YesNo);
        if (answer != MessageResult::Yes)
            savedGames_.flow().releaseReserve();
        if (ended_)
            return; // the system ended the program while the question stood: the game stays kept
        if (answer == MessageResult::Yes) {
            const AutosaveNames names = AutosaveStore::readNames(files->names);
            const std::optional<SavedGameFlow::Loaded> loaded = savedGames_.flow().readFiles(
                files->picture, files->game, names.gameName, files->pictureFingerprint, files->devicePicture);
            if (loaded) {
                savedGames_.start(*loaded);
                state_.pictureName = names.pictureName;
                autosave_.continueFrom(*files);
            } else {
                // The reader has said what is wrong; a damaged autosave is no use later either.
                autosave_.discard();
            }
        } else if (answer == MessageResult::No) {
            autosave_.discard();
        } else {
            // Neither answer (the box was closed): the game waits for the next start, and this
            // run keeps no autosave of its own.
            return;
        }
    }
    autosave_.startTracking();
}

bool SessionKeeper::quitting() {
    if (ended_)
        return true;
    bool kept = false;
    {
        const WaitCursor wait(*services_.cursor);
        kept = autosave_.writeNow();
    }
    // Whatever keeps the game from the next run (a full disk, a folder that cannot be written, a
    // lock that cannot be made), the player hears of it and may stay.
    if (!kept && services_.messages->messageBox(loadString(Str::AutosaveFailedQuit), MessageKind::Question,
                                                MessageButtons::YesNo) != MessageResult::Yes)
        return false;
    rememberSettings();
    ended_ = true;
    return true;
}

void SessionKeeper::keepEverything() {
    if (ended_)
        return;
    autosave_.writeNow();
    rememberSettings();
}

void SessionKeeper::ending() {
    keepEverything();
    ended_ = true;
}

void SessionKeeper::gameCompleted() {
    if (autosave_.tracking())
        autosave_.discard();
}

void SessionKeeper::watch(TerminationSignals& terminations, std::function<void()> quit) {
    connect(&terminations, &TerminationSignals::received, this, [this, quit = std::move(quit)] {
        ending();
        quit();
    });
}
