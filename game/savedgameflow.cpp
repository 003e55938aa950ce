#include "game/savedgameflow.h"

#include "game/gameflow.h"
#include "game/gamestate.h"
#include "model/bmpreader.h"
#include "model/devicepicture.h"
#include "model/durablefile.h"
#include "model/picture.h"
#include "model/services.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    const bool saved = store_.save(
        name, state_.picture,
        [this, fullScreen](QIODevice& device) { return writeSavedGameTo(device, state_, fullScreen); },
        state_.devicePicture);
    if (!saved)
        messages_.messageBox(loadString(Str::SaveFailed), MessageKind::Error, MessageButtons::Ok);
    return saved;
}

bool SavedGameFlow::confirmLoading() {
    if (!state_.gameUnderWay())
        return true;
    return messages_.messageBox(loadString(Str::LoadGameQuestion), MessageKind::Question,
                                MessageButtons::YesNo) == MessageResult::Yes;
}

std::optional<SavedGameFlow::Loaded> SavedGameFlow::read(const QString& name) {
    const std::optional<SavedGameStore::GameFiles> files = store_.gameFiles(name);
    if (!files) {
        // A damaged index: the entry names no game and nothing is read for it.
        messages_.messageBox(loadString(Str::CannotLoadDamagedEntry).arg(SavedGameStore::readableName(name)),
                             MessageKind::Warning, MessageButtons::Ok);
        return std::nullopt;
    }
    return readFiles(files->picture, files->game, name, {}, files->devicePicture);
}

std::optional<SavedGameFlow::Loaded> SavedGameFlow::readFiles(const QString& picturePath,
                                                              const QString& gamePath, const QString& name,
                                                              const QByteArray& pictureFingerprint,
                                                              const QString& devicePicturePath) {
    SavedGameFiles files;
    const bool withDevice = !devicePicturePath.isEmpty() && fileKind(devicePicturePath) == FileKind::Regular;
    {
        const WaitCursor wait(cursor_);
        const KnownPicture known =
            knownPicture_ && pictureFingerprint.isEmpty() ? knownPicture_(picturePath) : KnownPicture();
        std::optional<SavedGameText> text = takeTextAhead(gamePath);
        if (known.picture.isNull()) {
            files = readSavedGameFiles(picturePath, gamePath, !pictureFingerprint.isEmpty() || withDevice,
                                       &reserve_, std::move(text));
        } else {
            takeSavedGameText(gamePath, std::move(text), files);
            files.picture.picture = known.picture;
            files.picture.format = "bmp";
            files.pictureFingerprint = known.fingerprint;
        }
    }
    releaseReserve(); // what the read did not take (another size, a picture in memory) goes
    const auto refuse = [this](int stringId, const QString& path) {
        messages_.messageBox(formatted(stringId, path), MessageKind::Warning, MessageButtons::Ok);
        return std::nullopt;
    };
    if (!files.picture.ok()) {
        // Something that is not a file in the picture's place (a pipe) is damage, not a format.
        const QFileInfo info(picturePath);
        return refuse(info.exists() && !info.isFile() ? Str::DamagedFile : Str::UnknownFormat, picturePath);
    }
    if (files.error == SavedGameError::UnknownFormat)
        return refuse(Str::UnknownFormat, gamePath);
    if (files.error != SavedGameError::None || !pictureFitsSavedGame(files.game, files.picture.picture) ||
        (!pictureFingerprint.isEmpty() && files.pictureFingerprint != pictureFingerprint))
        return refuse(Str::DamagedFile, gamePath);
    QImage device;
    if (withDevice) {
        const WaitCursor wait(cursor_);
        device = readDevicePicture(devicePicturePath, files.picture.picture.size(), files.pictureFingerprint);
    }
    return Loaded{name, std::move(files.game), std::move(files.picture.picture), std::move(device),
                  std::move(files.built)};
}

void SavedGameFlow::prepareToRead(const QString& name) {
    const std::optional<SavedGameStore::GameFiles> files = store_.gameFiles(name);
    if (files)
        prepareToReadFiles(files->picture, files->game);
    else
        releaseReserve();
}

void SavedGameFlow::prepareToReadFiles(const QString& picturePath, const QString& gamePath) {
    if (knownPicture_ && !knownPicture_(picturePath).picture.isNull())
        reserve_.release();
    else
        reserve_.prepareFile(picturePath);
    std::erase_if(givenUp_, [](const auto& text) {
        return text.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    const std::optional<FileIdentity> identity = fileIdentity(gamePath);
    if (textAhead_ && textAhead_->path == gamePath && textAhead_->identity == identity)
        return; // on it already, or done
    dropTextAhead();
    if (!identity || identity->size > textAheadBytes)
        return;
    textAhead_ = TextAhead{gamePath, identity, std::async(std::launch::async, [gamePath, identity] {
                               std::optional<SavedGameText> text = readSavedGameText(gamePath);
                               // Changed while it was read: what was read is no file's.
                               if (fileIdentity(gamePath) != identity)
                                   text.reset();
                               return text;
                           })};
}

void SavedGameFlow::releaseReserve() {
    reserve_.release();
    dropTextAhead();
}

void SavedGameFlow::dropTextAhead() {
    if (textAhead_)
        givenUp_.push_back(std::move(textAhead_->text));
    textAhead_.reset();
}

std::optional<SavedGameText> SavedGameFlow::takeTextAhead(const QString& gamePath) {
    if (!textAhead_ || textAhead_->path != gamePath) {
        dropTextAhead();
        return std::nullopt;
    }
    std::optional<SavedGameText> text = textAhead_->text.get();
    const bool same = textAhead_->identity == fileIdentity(gamePath);
    textAhead_.reset();
    return same ? std::move(text) : std::nullopt;
}

void SavedGameFlow::install(const Loaded& loaded, QSize fullScreenClient, IProgress* progress) {
    gameFlow_.discardGame(true);
    state_.gameName = loaded.name;
    state_.pictureName.clear();
    const WaitCursor wait(cursor_);
    installSavedGame(loaded.game, loaded.picture, state_, fullScreenClient, progress, loaded.built.get());
    state_.devicePicture = loaded.devicePicture;
    // The clock stands at the time carried over from the moment the game exists: its start is
    // now, not the discarded game's, and gameReady starts it running from here.
    state_.clock.start(clock_.nowSeconds(), state_.clock.clockCarried);
    state_.clockText = GameClock::format(state_.clock.clockCarried);
}

int SavedGameFlow::savedGameCount() {
    store_.readIndex();
    return static_cast<int>(store_.names().size());
}
