#include "game/autosave.h"

#include "game/gamestate.h"
#include "game/savedgamestore.h"
#include "model/devicepicture.h"
#include "model/durablefile.h"
#include "model/fingerprint.h"
#include "model/picture.h"
#include "model/services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <tuple>

namespace {

const QString kPicture = QStringLiteral("game.bmp"); // beside the text, as earlier versions kept it
const QString kGame = QStringLiteral("game.pzs");
const QString kNames = QStringLiteral("names.txt");
const QString kPictureRef = QStringLiteral("picture.txt");
const QString kUnfinished = QStringLiteral(".new-");
const QString kPicturePrefix = QStringLiteral("picture-");
const QString kPictureSuffix = QStringLiteral(".bmp");
const QString kDeviceSuffix = QStringLiteral(".hd.dib");
constexpr qint64 kMaxNamesFile = 4096;
constexpr int kMaxPictureName = 255;

// A number of at most 15 digits, or nothing for any other text.
std::optional<qint64> numberOf(QStringView text) {
    if (text.isEmpty() || text.size() > 15)
        return std::nullopt;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    return text.toLongLong();
}

// The generation number of a folder name, or nothing for any other name.
std::optional<qint64> generationOf(const QString& name) {
    return numberOf(name);
}

// The number of a picture file's name ("picture-<n>.bmp"), or nothing for any other name.
std::optional<qint64> pictureNumberOf(const QString& name) {
    if (!name.startsWith(kPicturePrefix) || !name.endsWith(kPictureSuffix))
        return std::nullopt;
    return numberOf(QStringView(name).mid(kPicturePrefix.size(),
                                          name.size() - kPicturePrefix.size() - kPictureSuffix.size()));
}

// The finer picture's file beside a picture file.
QString deviceFileOf(const QString& pictureName) {
    return pictureName.chopped(kPictureSuffix.size()) + kDeviceSuffix;
}

// The finer pictures' files of the folder ("picture-<n>.hd.dib").
QStringList deviceFiles(const QString& folder) {
    QStringList files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (name.endsWith(kDeviceSuffix) &&
            pictureNumberOf(name.chopped(kDeviceSuffix.size()) + kPictureSuffix))
            files.append(name);
    return files;
}

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
}

QStringList pictureFiles(const QString& folder) {
    QStringList pictures;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (pictureNumberOf(name))
            pictures.append(name);
    return pictures;
}

std::optional<qint64> newestGeneration(const QString& folder) {
    std::optional<qint64> newest;
    for (const QString& name : folderEntries(folder))
        if (const auto g = generationOf(name); g && (!newest || *g > *newest))
            newest = g;
    return newest;
}

// The highest number a generation or a picture file has taken: a new one takes the next, so a
// name never comes back for another game while anything may still name it.
qint64 highestNumber(const QString& folder) {
    qint64 highest = newestGeneration(folder).value_or(0);
    for (const QString& name : pictureFiles(folder))
        highest = std::max(highest, *pictureNumberOf(name));
    return highest;
}

bool cleanName(const QString& name, int maxLength) {
    if (name.size() > maxLength)
        return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char('/'))
            return false;
    return true;
}

// The text of picture.txt: the picture file's name and its fingerprint, a line each.
QByteArray pictureReference(const AutosaveStore::PictureFile& picture) {
    return picture.name.toLatin1() + '\n' + picture.fingerprint + '\n';
}

std::optional<AutosaveStore::PictureFile> readPictureReference(const QString& path) {
    QFile file(path);
    if (!openRegularFile(file))
        return std::nullopt;
    const QList<QByteArray> lines = file.read(kMaxNamesFile).split('\n');
    if (lines.size() < 2)
        return std::nullopt;
    const QString name = QString::fromLatin1(lines[0]);
    if (!pictureNumberOf(name) || !Fingerprint::isHex(lines[1]))
        return std::nullopt;
    return AutosaveStore::PictureFile{name, lines[1]};
}

} // namespace

std::optional<AutosaveStore::Files> AutosaveStore::latest() const {
    if (folder_.isEmpty())
        return std::nullopt;
    const std::optional<qint64> newest = newestGeneration(folder_);
    if (!newest)
        return std::nullopt;
    const QString dir = folder_ + QLatin1Char('/') + QString::number(*newest) + QLatin1Char('/');
    Files files{dir + kPicture, dir + kGame, dir + kNames, {}, {}};
    if (fileKind(files.picture) != FileKind::Missing)
        return files;
    // The picture the generation names. Without a reference that reads, the reference itself is
    // what cannot be read as the picture.
    if (const std::optional<PictureFile> picture = readPictureReference(dir + kPictureRef)) {
        files.picture = folder_ + QLatin1Char('/') + picture->name;
        files.pictureFingerprint = picture->fingerprint;
        files.devicePicture = folder_ + QLatin1Char('/') + deviceFileOf(picture->name);
    } else {
        files.picture = dir + kPictureRef;
    }
    return files;
}

std::optional<AutosaveStore::PictureFile> AutosaveStore::write(const SavedGame& game, const QImage& picture,
                                                               const AutosaveNames& names,
                                                               const std::optional<PictureFile>& kept,
                                                               const QImage& devicePicture) const {
    if (folder_.isEmpty() || !QDir().mkpath(folder_))
        return std::nullopt;
    const qint64 next = highestNumber(folder_) + 1;
    const QString unfinished = folder_ + QLatin1Char('/') + kUnfinished + QString::number(next);
    const QString finished = folder_ + QLatin1Char('/') + QString::number(next);
    QDir(unfinished).removeRecursively();
    if (!QDir().mkdir(unfinished))
        return std::nullopt;

    // The tests' disk takes so many bytes and then refuses.
    qint64 left = diskLimit_;
    DurableFiles files([&left, this](DurableFiles::Step step, const QString& path, qint64 bytes) {
        if (diskLimit_ >= 0 && step == DurableFiles::Step::Write) {
            if (bytes > left)
                return DurableFiles::Outcome::Fail;
            left -= bytes;
        }
        return stepHook_ ? stepHook_(step, path, bytes) : DurableFiles::Outcome::Go;
    });
    const QString dir = unfinished + QLatin1Char('/');
    PictureFile pictureFile;
    bool newPicture = false;
    bool ok = true;
    if (kept && fileKind(folder_ + QLatin1Char('/') + kept->name) == FileKind::Regular) {
        pictureFile = *kept;
    } else {
        // Once per game: the picture goes to a file of a name no generation has named yet, and its
        // entry reaches the disk before any generation names it.
        newPicture = true;
        pictureFile.name = kPicturePrefix + QString::number(next) + kPictureSuffix;
        Fingerprint fingerprint;
        ok = files.write(folder_ + QLatin1Char('/') + pictureFile.name, [&](QIODevice& d) {
            FingerprintingDevice device(d, fingerprint);
            return writeBitmap(device, picture);
        }) && files.syncFolder(folder_);
        pictureFile.fingerprint = fingerprint.hex();
        // A help only: without it the game is kept all the same.
        if (ok && !devicePicture.isNull())
            files.write(folder_ + QLatin1Char('/') + deviceFileOf(pictureFile.name),
                        [&](QIODevice& d) {
                            return writeDevicePicture(d, devicePicture, pictureFile.fingerprint);
                        }) &&
                files.syncFolder(folder_);
    }
    const QByteArray namesText =
        (names.gameName + QLatin1Char('\n') + names.pictureName + QLatin1Char('\n')).toUtf8();
    const QByteArray referenceText = pictureReference(pictureFile);
    // The one rename of the folder makes the new generation the autosave.
    ok = ok &&
         files.write(dir + kGame,
                     [&](QIODevice& d) { return writeSavedGameTo(d, game, SavedGameForm::Compact); }) &&
         files.write(dir + kNames, [&](QIODevice& d) { return d.write(namesText) == namesText.size(); }) &&
         files.write(dir + kPictureRef,
                     [&](QIODevice& d) { return d.write(referenceText) == referenceText.size(); }) &&
         files.syncFolder(unfinished) && files.rename(unfinished, finished);
    if (!ok) {
        QDir(unfinished).removeRecursively();
        if (newPicture) {
            QFile::remove(folder_ + QLatin1Char('/') + deviceFileOf(pictureFile.name));
            QFile::remove(folder_ + QLatin1Char('/') + pictureFile.name);
        }
        return std::nullopt;
    }
    files.syncFolder(folder_);
    // Older generations and what an interrupted write left are no longer needed; then the
    // pictures that no generation names any more.
    for (const QString& name : folderEntries(folder_)) {
        const auto g = generationOf(name);
        if ((g && *g < next) || name.startsWith(kUnfinished))
            QDir(folder_ + QLatin1Char('/') + name).removeRecursively();
    }
    for (const QString& name : deviceFiles(folder_))
        if (name != deviceFileOf(pictureFile.name))
            QFile::remove(folder_ + QLatin1Char('/') + name);
    for (const QString& name : pictureFiles(folder_))
        if (name != pictureFile.name)
            QFile::remove(folder_ + QLatin1Char('/') + name);
    return pictureFile;
}

qint64 AutosaveStore::pictureSize(const PictureFile& picture) const {
    return QFileInfo(folder_ + QLatin1Char('/') + picture.name).size();
}

std::optional<FileIdentity> AutosaveStore::pictureIdentity(const PictureFile& picture) const {
    return fileIdentity(folder_ + QLatin1Char('/') + picture.name);
}

void AutosaveStore::discard() const {
    if (folder_.isEmpty())
        return;
    // Generations before pictures: no generation is ever left naming a picture that is gone.
    for (const QString& name : folderEntries(folder_))
        if (generationOf(name) || name.startsWith(kUnfinished))
            QDir(folder_ + QLatin1Char('/') + name).removeRecursively();
    for (const QString& name : deviceFiles(folder_))
        QFile::remove(folder_ + QLatin1Char('/') + name);
    for (const QString& name : pictureFiles(folder_))
        QFile::remove(folder_ + QLatin1Char('/') + name);
}

AutosaveNames AutosaveStore::readNames(const QString& path) {
    AutosaveNames names;
    QFile file(path);
    if (!openRegularFile(file))
        return names;
    const QList<QByteArray> lines = file.read(kMaxNamesFile).split('\n');
    const QString game = lines.size() > 0 ? QString::fromUtf8(lines[0]) : QString();
    const QString picture = lines.size() > 1 ? QString::fromUtf8(lines[1]) : QString();
    if (SavedGameStore::isValidName(game))
        names.gameName = game;
    if (cleanName(picture, kMaxPictureName))
        names.pictureName = picture;
    return names;
}

bool samePlay(const SavedGame& a, const SavedGame& b) {
    const auto head = [](const SavedGame& g) {
        return std::tie(g.rows, g.columns, g.backgroundColor, g.outlineColor, g.textColor, g.elementSize,
                        g.settings, g.cut.irregularBase, g.cut.shiftKnobs, g.cut.rotateElements, g.cut.mosaic,
                        g.scrollX, g.scrollY, g.maxScrollX, g.maxScrollY, g.boardWidth, g.boardHeight,
                        g.bitmapBackground, g.fullScreen, g.backgroundBitmapId);
    };
    return head(a) == head(b) && a.bodyRects == b.bodyRects && a.stackOrder == b.stackOrder &&
           a.elements == b.elements && a.blocks == b.blocks;
}

Autosave::Autosave(GameState& state, IClock& clock) : state_(state), clock_(clock) {
    timer_.setInterval(checkMilliseconds);
    timer_.setTimerType(Qt::VeryCoarseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { refresh(); });
    pictureTimer_.setInterval(pictureCheckMilliseconds);
    connect(&pictureTimer_, &QTimer::timeout, this, [this] {
        // Seen unwritten on two looks in a row: the game has been on the table a moment, and
        // its first drawing is done before the picture is written beside it.
        const qint64 shown = pictureUnwritten() ? state_.picture.cacheKey() : 0;
        if (shown != 0 && shown == pictureSeen_)
            refresh();
        pictureSeen_ = shown;
    });
}

Autosave::~Autosave() {
    waitForWrite();
}

bool Autosave::open(const QString& folder) {
    waitForWrite();
    timer_.stop();
    pictureTimer_.stop();
    tracking_ = false;
    lock_.reset();
    written_.reset();
    wanted_ = true;
    access_ = Access::None;
    if (!QDir().mkpath(folder))
        return false;
    store_ = AutosaveStore(folder);
    const QString lockPath = folder + QStringLiteral("/lock");
    // The lock is a plain file; anything else there (a pipe would stop the lock's reader) goes,
    // and what cannot go leaves the folder to be read only.
    if (fileKind(lockPath) == FileKind::Other && !DurableFiles().remove(lockPath)) {
        access_ = Access::ReadOnly;
        return false;
    }
    auto lock = std::make_unique<QLockFile>(lockPath);
    // Held for the whole run, however long: only a holder that is no longer running leaves a
    // lock that may be taken over.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        // A lock that names its holder belongs to a running copy; one that cannot be made or
        // read means a folder this run can only read.
        qint64 pid = 0;
        QString host, application;
        const bool held =
            lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, &host, &application);
        access_ = held ? Access::Elsewhere : Access::ReadOnly;
        return false;
    }
    lock_ = std::move(lock);
    access_ = Access::Owned;
    return true;
}

std::optional<AutosaveStore::Files> Autosave::interrupted() const {
    if (tracking_ || (access_ != Access::Owned && access_ != Access::ReadOnly))
        return std::nullopt;
    return store_.latest();
}

void Autosave::startTracking() {
    if (!isOpen())
        return;
    tracking_ = true;
    timer_.start();
    pictureTimer_.start();
}

bool Autosave::gameUnderWay() const {
    return state_.gameUnderWay() && !state_.picture.isNull();
}

Autosave::Kept Autosave::current() const {
    const std::int64_t played = state_.clock.played(clock_.nowSeconds());
    const auto carried = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(played, 0, std::numeric_limits<std::int32_t>::max()));
    return {std::make_shared<const SavedGame>(
                savedGameSnapshot(state_, fullScreen_ ? fullScreen_() : 0, carried)),
            state_.picture.cacheKey(), AutosaveNames{state_.gameName, state_.pictureName}, std::nullopt};
}

bool Autosave::sameAsWritten(const Kept& game) const {
    return written_ && game.picture == written_->picture && game.names == written_->names &&
           samePlay(*game.game, *written_->game);
}

std::optional<AutosaveStore::PictureFile> Autosave::writtenPicture(const Kept& game) const {
    return written_ && written_->picture == game.picture ? written_->pictureFile : std::nullopt;
}

bool Autosave::pictureUnwritten() const {
    return isOpen() && tracking_ && !(holdBack_ && holdBack_()) && gameUnderWay() &&
           state_.picture.cacheKey() != pictureTried_;
}

SavedGameFlow::KnownPicture Autosave::pictureAt(const QString& path) {
    collectWrite();
    if (!written_ || written_->picture != state_.picture.cacheKey() || !written_->pictureIdentity ||
        !written_->pictureFile)
        return {};
    const std::optional<FileIdentity> identity = fileIdentity(path);
    if (!identity || *identity != *written_->pictureIdentity)
        return {};
    return {state_.picture, written_->pictureFile->fingerprint};
}

std::optional<SavedGameStore::PictureOnDisk> Autosave::pictureOnDisk(const QImage& picture) {
    if (writing_.valid() && writingPicture_ == picture.cacheKey())
        waitForWrite();
    else
        collectWrite();
    if (!written_ || written_->picture != picture.cacheKey() || !written_->pictureFile)
        return std::nullopt;
    return SavedGameStore::PictureOnDisk{store_.folder() + QLatin1Char('/') + written_->pictureFile->name,
                                         written_->pictureBytes, written_->pictureFile->fingerprint};
}

void Autosave::continueFrom(const AutosaveStore::Files& files) {
    Kept game = current();
    // A generation of an earlier version keeps its picture beside its text, which goes with it:
    // the next write writes the picture anew.
    if (!files.pictureFingerprint.isEmpty()) {
        game.pictureFile =
            AutosaveStore::PictureFile{QFileInfo(files.picture).fileName(), files.pictureFingerprint};
        game.pictureBytes = QFileInfo(files.picture).size();
        game.pictureIdentity = fileIdentity(files.picture);
    }
    pictureTried_ = game.picture;
    written_ = std::move(game);
}

void Autosave::collectWrite() {
    if (!writing_.valid() || writing_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return;
    if (std::optional<Kept> done = writing_.get())
        written_ = std::move(done);
}

void Autosave::waitForWrite() {
    if (writing_.valid())
        writing_.wait();
    collectWrite();
}

bool Autosave::refresh() {
    if (!isOpen() || !tracking_ || (holdBack_ && holdBack_()))
        return false;
    collectWrite();
    if (writing_.valid())
        return false; // one write at a time
    if (!gameUnderWay()) {
        // The game on the board ended or was given up: there is nothing to continue.
        if (written_ || store_.latest())
            discard();
        return false;
    }
    const std::int64_t now = clock_.nowSeconds();
    // A new game is kept at once, whatever the schedule says: its picture is then on the disk
    // for every save of it.
    if (!schedule_.due(now) && state_.picture.cacheKey() == pictureTried_)
        return false;
    Kept game = current();
    if (sameAsWritten(game))
        return false;
    schedule_.started(now);
    pictureTried_ = writingPicture_ = game.picture;
    const std::optional<AutosaveStore::PictureFile> kept = writtenPicture(game);
    if (kept) {
        game.pictureBytes = written_->pictureBytes;
        game.pictureIdentity = written_->pictureIdentity;
    }
    writing_ =
        std::async(std::launch::async, [store = store_, game = std::move(game), picture = state_.picture,
                                        device = state_.devicePicture, kept]() mutable {
            game.pictureFile = store.write(*game.game, picture, game.names, kept, device);
            // Let go of the pictures here: when the game has moved on meanwhile, freeing its half
            // a gigabyte is this thread's work, not the game's.
            picture = QImage();
            device = QImage();
            if (!game.pictureFile)
                return std::optional<Kept>();
            if (game.pictureFile != kept) {
                game.pictureBytes = store.pictureSize(*game.pictureFile);
                game.pictureIdentity = store.pictureIdentity(*game.pictureFile);
            }
            return std::optional(std::move(game));
        });
    ++writesStarted_;
    return true;
}

bool Autosave::writeNow() {
    if (!wanted_ || (holdBack_ && holdBack_()))
        return true;
    // A folder that cannot be used, or an earlier game still waiting for its answer: the game
    // under way has nowhere to go.
    if (!isOpen() || !tracking_)
        return !gameUnderWay();
    waitForWrite();
    if (!gameUnderWay()) {
        discard();
        return true;
    }
    Kept game = current();
    ++writesStarted_;
    pictureTried_ = game.picture;
    const std::optional<AutosaveStore::PictureFile> kept = writtenPicture(game);
    game.pictureFile = store_.write(*game.game, state_.picture, game.names, kept, state_.devicePicture);
    if (!game.pictureFile)
        return false;
    const bool same = game.pictureFile == kept;
    game.pictureBytes = same ? written_->pictureBytes : store_.pictureSize(*game.pictureFile);
    game.pictureIdentity = same ? written_->pictureIdentity : store_.pictureIdentity(*game.pictureFile);
    written_ = std::move(game);
    return true;
}

void Autosave::discard() {
    if (!isOpen())
        return;
    waitForWrite();
    store_.discard();
    written_.reset();
}
