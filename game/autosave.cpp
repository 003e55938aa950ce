#include "game/autosave.h"

#include "game/gamestate.h"
#include "game/savedgamestore.h"
#include "model/durablefile.h"
#include "model/picture.h"
#include "model/services.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <limits>
#include <tuple>

namespace {

const QString kPicture = QStringLiteral("game.bmp");
const QString kGame = QStringLiteral("game.pzs");
const QString kNames = QStringLiteral("names.txt");
const QString kUnfinished = QStringLiteral(".new-");
constexpr qint64 kMaxNamesFile = 4096;
constexpr int kMaxPictureName = 255;

// The generation number of a folder name, or nothing for any other name.
std::optional<qint64> generationOf(const QString& name) {
    if (name.isEmpty() || name.size() > 15)
        return std::nullopt;
    for (const QChar c : name)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    return name.toLongLong();
}

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
}

std::optional<qint64> newestGeneration(const QString& folder) {
    std::optional<qint64> newest;
    for (const QString& name : folderEntries(folder))
        if (const auto g = generationOf(name); g && (!newest || *g > *newest))
            newest = g;
    return newest;
}

bool cleanName(const QString& name, int maxLength) {
    if (name.size() > maxLength)
        return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char('/'))
            return false;
    return true;
}

} // namespace

std::optional<AutosaveStore::Files> AutosaveStore::latest() const {
    if (folder_.isEmpty())
        return std::nullopt;
    const std::optional<qint64> newest = newestGeneration(folder_);
    if (!newest)
        return std::nullopt;
    const QString dir = folder_ + QLatin1Char('/') + QString::number(*newest) + QLatin1Char('/');
    return Files{dir + kPicture, dir + kGame, dir + kNames};
}

bool AutosaveStore::write(const SavedGame& game, const QImage& picture, const AutosaveNames& names) const {
    if (folder_.isEmpty() || !QDir().mkpath(folder_))
        return false;
    const qint64 next = newestGeneration(folder_).value_or(0) + 1;
    const QString unfinished = folder_ + QLatin1Char('/') + kUnfinished + QString::number(next);
    const QString finished = folder_ + QLatin1Char('/') + QString::number(next);
    QDir(unfinished).removeRecursively();
    if (!QDir().mkdir(unfinished))
        return false;

    // The tests' disk takes so many bytes and then refuses.
    qint64 left = diskLimit_;
    DurableFiles files(diskLimit_ < 0 ? DurableFiles::Hook()
                                      : [&left](DurableFiles::Step step, const QString&, qint64 bytes) {
                                            if (step != DurableFiles::Step::Write)
                                                return DurableFiles::Outcome::Go;
                                            if (bytes > left)
                                                return DurableFiles::Outcome::Fail;
                                            left -= bytes;
                                            return DurableFiles::Outcome::Go;
                                        });
    const QByteArray namesText =
        (names.gameName + QLatin1Char('\n') + names.pictureName + QLatin1Char('\n')).toUtf8();
    const QString dir = unfinished + QLatin1Char('/');
    // The one rename of the folder makes the new generation the autosave.
    const bool ok =
        files.write(dir + kPicture, [&](QIODevice& d) { return writeBitmap(d, picture); }) &&
        files.write(dir + kGame, [&](QIODevice& d) { return writeSavedGameTo(d, game); }) &&
        files.write(dir + kNames, [&](QIODevice& d) { return d.write(namesText) == namesText.size(); }) &&
        files.syncFolder(unfinished) && files.rename(unfinished, finished);
    if (!ok) {
        QDir(unfinished).removeRecursively();
        return false;
    }
    files.syncFolder(folder_);
    // Older generations and what an interrupted write left are no longer needed.
    for (const QString& name : folderEntries(folder_)) {
        const auto g = generationOf(name);
        if ((g && *g < next) || name.startsWith(kUnfinished))
            QDir(folder_ + QLatin1Char('/') + name).removeRecursively();
    }
    return true;
}

void AutosaveStore::discard() const {
    if (folder_.isEmpty())
        return;
    for (const QString& name : folderEntries(folder_))
        if (generationOf(name) || name.startsWith(kUnfinished))
            QDir(folder_ + QLatin1Char('/') + name).removeRecursively();
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
}

Autosave::~Autosave() {
    waitForWrite();
}

bool Autosave::open(const QString& folder) {
    waitForWrite();
    timer_.stop();
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
            state_.picture.cacheKey(), AutosaveNames{state_.gameName, state_.pictureName}};
}

bool Autosave::sameAsWritten(const Kept& game) const {
    return written_ && game.picture == written_->picture && game.names == written_->names &&
           samePlay(*game.game, *written_->game);
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
    if (!schedule_.due(now))
        return false;
    Kept game = current();
    if (sameAsWritten(game))
        return false;
    schedule_.started(now);
    writing_ =
        std::async(std::launch::async, [store = store_, game = std::move(game), picture = state_.picture] {
            return store.write(*game.game, picture, game.names) ? std::optional(game) : std::nullopt;
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
    if (!store_.write(*game.game, state_.picture, game.names))
        return false;
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
