#include "game/savedgameflow.h"

#include "game/gameflow.h"
#include "game/gamestate.h"
#include "model/picture.h"
#include "model/services.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <QDir>

SavedGameFlow::SavedGameFlow(GameState& state, GameFlow& gameFlow, IMessageBox& messages, IClock& clock,
                             ICursor& cursor)
    : state_(state), gameFlow_(gameFlow), messages_(messages), clock_(clock), cursor_(cursor),
      store_(messages, cursor) {}

QString SavedGameFlow::formatted(int stringId, const QString& path) const {
    return loadString(stringId).replace(QLatin1String("%s"), QDir::toNativeSeparators(path));
}

bool SavedGameFlow::canSave() const {
    return state_.gameUnderWay();
}

bool SavedGameFlow::save(const QString& name, int fullScreen) {
    if (!canSave())
        return false;
    // The clock keeps running; the file carries the time played so far.
    const std::int64_t now = clock_.nowSeconds();
    state_.clock.carry(now);
    state_.clock.resume(now);
    const bool written = store_.writeGameFiles(name, state_.picture, [this, fullScreen](const QString& path) {
        return writeSavedGame(path, state_, fullScreen);
    });
    if (!written) {
        // The name added by the dialog goes again; the index on disk never listed it.
        store_.revertToIndex();
        messages_.messageBox(loadString(Str::SaveFailed), MessageKind::Error, MessageButtons::Ok);
        return false;
    }
    store_.writeIndex();
    return true;
}

std::optional<SavedGameFlow::Loaded> SavedGameFlow::read(const QString& name) {
    if (!SavedGameStore::isValidName(name))
        return std::nullopt;
    return readFiles(store_.picturePath(name), store_.gamePath(name), name);
}

std::optional<SavedGameFlow::Loaded> SavedGameFlow::readFiles(const QString& picturePath,
                                                              const QString& gamePath, const QString& name) {
    SavedGameFiles files;
    {
        const WaitCursor wait(cursor_);
        files = readSavedGameFiles(picturePath, gamePath);
    }
    const auto refuse = [this](int stringId, const QString& path) {
        messages_.messageBox(formatted(stringId, path), MessageKind::Warning, MessageButtons::Ok);
        return std::nullopt;
    };
    if (!files.picture.ok())
        return refuse(Str::UnknownFormat, picturePath);
    if (files.error == SavedGameError::UnknownFormat)
        return refuse(Str::UnknownFormat, gamePath);
    if (files.error != SavedGameError::None || !pictureFitsSavedGame(files.game, files.picture.picture))
        return refuse(Str::DamagedFile, gamePath);
    return Loaded{name, std::move(files.game), std::move(files.picture.picture)};
}

void SavedGameFlow::install(const Loaded& loaded, QSize fullScreenClient, IProgress* progress) {
    gameFlow_.discardGame(true);
    state_.gameName = loaded.name;
    state_.pictureName.clear();
    const WaitCursor wait(cursor_);
    installSavedGame(loaded.game, loaded.picture, state_, fullScreenClient, progress);
    // The clock stands at the time carried over from the moment the game exists: its start is
    // now, not the discarded game's, and gameReady starts it running from here.
    state_.clock.start(clock_.nowSeconds(), state_.clock.clockCarried);
    state_.clockText = GameClock::format(state_.clock.clockCarried);
}

int SavedGameFlow::savedGameCount() {
    store_.readIndex();
    return static_cast<int>(store_.names().size());
}
