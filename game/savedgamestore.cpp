#include "game/savedgamestore.h"

#include "model/devicepicture.h"
#include "model/fingerprint.h"
#include "model/picture.h"
#include "model/services.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <set>

namespace {

const QByteArray kHeader = QByteArrayLiteral("[SAVED GAMES]");
// A complete file waiting to replace its game's file; the text's one decides the save.
const QString kNew = QStringLiteral(".new");
// The earlier pair, as an older version of the program put it aside while replacing it.
const QString kOld = QStringLiteral(".old");

QString withPath(int stringId, const QString& path) {
    return loadString(stringId).replace(QLatin1String("%s"), path);
}

bool exists(const QString& path) {
    return fileKind(path) != FileKind::Missing;
}

bool isFile(const QString& path) {
    return fileKind(path) == FileKind::Regular;
}

// The picture written again as 24 bits per pixel, when its own depth cannot be written.
bool writeBmp24(QIODevice& device, const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    return !rgb.isNull() && writeBitmap(device, rgb);
}

} // namespace

SavedGameStore::SavedGameStore(IMessageBox& messages, ICursor& cursor)
    : messages_(messages), cursor_(cursor), pictureWriter_(writeBitmap) {}

QString SavedGameStore::indexPath() const {
    return folder_ + QStringLiteral("/games.psg");
}
QString SavedGameStore::picturePath(const QString& name) const {
    return folder_ + QLatin1Char('/') + name + QStringLiteral(".bmp");
}
QString SavedGameStore::gamePath(const QString& name) const {
    return folder_ + QLatin1Char('/') + name + QStringLiteral(".pzs");
}

QString SavedGameStore::devicePicturePath(const QString& name) const {
    return folder_ + QLatin1Char('/') + name + QStringLiteral(".hd.dib");
}

void SavedGameStore::ensureFolder() const {
    if (!QFileInfo(folder_).isDir())
        QDir().mkpath(folder_);
}

void SavedGameStore::readIndex() {
    QFile file(indexPath());
    if (!openRegularFile(file)) {
        // A missing or unreadable index leaves the list; something that is not a file (a pipe)
        // is no index at all.
        const QFileInfo info(indexPath());
        if (info.exists() && !info.isFile())
            messages_.messageBox(withPath(Str::BadSavedGamesIndex, QDir::toNativeSeparators(indexPath())),
                                 MessageKind::Error, MessageButtons::Ok);
        return;
    }
    // No index holds more than ten short names; a longer file is cut off there.
    const QByteArray bytes = file.read(64 * 1024);
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    if (lines.isEmpty() || lines.front() != kHeader) {
        messages_.messageBox(withPath(Str::BadSavedGamesIndex, QDir::toNativeSeparators(indexPath())),
                             MessageKind::Error, MessageButtons::Ok);
        return;
    }
    names_.clear();
    for (qsizetype k = 1; k < lines.size() && names_.size() < maxGames; ++k) {
        if (lines[k].isEmpty())
            break;
        names_.append(QString::fromUtf8(lines[k]));
    }
    indexed_ = names_;
}

bool SavedGameStore::writeIndex() {
    WaitCursor wait(cursor_);
    QByteArray text = kHeader + "\r\n";
    for (const QString& name : names_)
        text += name.toUtf8() + "\r\n";
    DurableFiles files(stepHook_);
    if (!files.replace(indexPath(), [&text](QIODevice& d) { return d.write(text) == text.size(); }))
        return false;
    indexed_ = names_;
    return true;
}

int SavedGameStore::find(const QString& name) const {
    for (int k = 0; k < names_.size(); ++k)
        if (names_[k].compare(name, Qt::CaseInsensitive) == 0)
            return k;
    return -1;
}

void SavedGameStore::deleteGame(const QString& name) {
    // The entry goes first: a deletion cut short leaves files no entry lists, never an entry
    // whose files are half gone.
    names_.removeAll(name);
    writeIndex();
    if (!isValidName(name))
        return; // an entry that names no file of this folder
    DurableFiles files(stepHook_);
    const QString targets[3] = {gamePath(name), picturePath(name), devicePicturePath(name)};
    // What an interrupted save left goes before the game, the text's ".new" (which would bring
    // the game back) first of all.
    for (const QString& suffix : {kNew, DurableFiles::partSuffix(), kOld})
        for (const QString& target : targets)
            if (exists(target + suffix))
                files.remove(target + suffix);
    for (const QString& path : {picturePath(name), gamePath(name), devicePicturePath(name)}) {
        // A file that is not there needs no deleting.
        if (exists(path) && !files.remove(path))
            messages_.messageBox(withPath(Str::CannotDelete, QDir::toNativeSeparators(path)),
                                 MessageKind::Warning, MessageButtons::Ok);
    }
    files.syncFolder(folder_);
}

void SavedGameStore::settle(DurableFiles& files, const QString& name) {
    const QString picture = picturePath(name), text = gamePath(name);
    bool changed = false;
    const auto remove = [&](const QString& path) {
        if (exists(path)) {
            files.remove(path);
            changed = true;
        }
    };
    remove(picture + DurableFiles::partSuffix());
    remove(text + DurableFiles::partSuffix());
    remove(devicePicturePath(name) + DurableFiles::partSuffix());
    if (isFile(text + kNew)) {
        // The save was complete: the new pair goes in place, the picture first. Where the picture
        // cannot move, the text waits with it.
        changed = true;
        if (!isFile(picture + kNew) || files.rename(picture + kNew, picture))
            files.rename(text + kNew, text);
    } else {
        remove(picture + kNew);
    }
    for (const QString& target : {picture, text}) {
        if (!exists(target) && isFile(target + kOld)) {
            files.rename(target + kOld, target);
            changed = true;
        }
    }
    if (exists(picture) && exists(text)) {
        remove(picture + kOld);
        remove(text + kOld);
    }
    if (changed)
        files.syncFolder(folder_);
}

std::optional<SavedGameStore::GameFiles> SavedGameStore::gameFiles(const QString& name) {
    if (!isValidName(name))
        return std::nullopt;
    DurableFiles files(stepHook_);
    settle(files, name);
    GameFiles game{picturePath(name), gamePath(name), devicePicturePath(name)};
    // Files that could not be put in place are read where they stand.
    if (isFile(game.game + kNew)) {
        if (isFile(game.picture + kNew))
            game.picture += kNew;
        game.game += kNew;
    } else {
        for (QString* path : {&game.picture, &game.game})
            if (!exists(*path) && isFile(*path + kOld))
                *path += kOld;
    }
    return game;
}

void SavedGameStore::settleAll() {
    // A leftover of a save names its game; the temporary files of the index and of older
    // versions' writers (a six-character tail) belong to no pair and simply go.
    static const QRegularExpression leftover(QStringLiteral("^(.+)\\.(bmp|pzs|hd\\.dib)\\.(new|old|part)$"));
    static const QRegularExpression temporary(
        QStringLiteral("^(games\\.psg\\.part|.+\\.(bmp|pzs|psg)(\\.new)?\\.[A-Za-z0-9]{6})$"));
    DurableFiles files(stepHook_);
    std::set<QString> interrupted;
    const QStringList entries =
        QDir(folder_).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (const QRegularExpressionMatch m = leftover.match(entry); m.hasMatch()) {
            if (isValidName(m.captured(1)))
                interrupted.insert(m.captured(1));
        } else if (temporary.match(entry).hasMatch()) {
            files.remove(folder_ + QLatin1Char('/') + entry);
        }
    }
    for (const QString& name : interrupted)
        settle(files, name);
}

bool SavedGameStore::save(const QString& name, const QImage& picture, const TextWriter& writeText,
                          const QImage& devicePicture) {
    const bool listed = indexed_.contains(name);
    if (writeGameFiles(name, picture, writeText, devicePicture) && (writeIndex() || listed))
        return true;
    // A name added by the dialog goes again: the index on disk does not list it.
    revertToIndex();
    return false;
}

bool SavedGameStore::writePicture(DurableFiles& files, const QString& path, const QImage& picture,
                                  QByteArray& fingerprint) {
    // The picture never changes during a game, so the copy already on the disk serves every save
    // of it: only the text is then written. Its size tells that it is still whole; it was synced
    // before it was offered, and no file of ours is ever written in place, so both names keep
    // these bytes whichever of them goes first.
    if (const std::optional<PictureOnDisk> ready = pictureSource_ ? pictureSource_(picture) : std::nullopt;
        ready && !ready->fingerprint.isEmpty() && fileKind(ready->path) == FileKind::Regular &&
        QFileInfo(ready->path).size() == ready->size && files.link(ready->path, path)) {
        fingerprint = ready->fingerprint;
        return true;
    }
    Fingerprint taken;
    const auto write = [&](const PictureWriter& writer) {
        return files.write(path, [&](QIODevice& d) {
            taken = Fingerprint();
            FingerprintingDevice device(d, taken);
            return writer(device, picture);
        });
    };
    if (!write(pictureWriter_) && !write(writeBmp24))
        return false;
    fingerprint = taken.hex();
    return true;
}

bool SavedGameStore::writeGameFiles(const QString& name, const QImage& picture, const TextWriter& writeText,
                                    const QImage& devicePicture) {
    if (!isValidName(name))
        return false;
    WaitCursor wait(cursor_);
    DurableFiles files(stepHook_);
    // What an earlier save of this name left is finished first, so nothing of it mixes with this one.
    settle(files, name);
    const QString target[2] = {picturePath(name), gamePath(name)};
    const QString part[2] = {target[0] + DurableFiles::partSuffix(), target[1] + DurableFiles::partSuffix()};
    const QString fresh[2] = {target[0] + kNew, target[1] + kNew};
    // A complete earlier save that could not be put in place stays as it is.
    if (files.stopped() || exists(fresh[1]))
        return false;

    // The picture file's fingerprint names it in the finer copy's file.
    QByteArray fingerprint;
    const QString device = devicePicturePath(name);
    const QString devicePart = device + DurableFiles::partSuffix();
    const bool written = writePicture(files, part[0], picture, fingerprint) &&
                         files.write(part[1], writeText) && files.rename(part[0], fresh[0]) &&
                         files.syncFolder(folder_);
    const bool deviceWritten =
        written && !devicePicture.isNull() && files.write(devicePart, [&](QIODevice& d) {
            return writeDevicePicture(d, devicePicture, fingerprint);
        });
    // The one step that makes the new pair the game of this name, on the disk before it counts.
    const bool renamed = written && files.rename(part[1], fresh[1]);
    if (!renamed || !files.syncFolder(folder_)) {
        if (files.stopped())
            return false;
        if (renamed)
            files.remove(fresh[1]);
        for (const QString& path : {fresh[0], part[0], part[1], devicePart})
            if (exists(path))
                files.remove(path);
        return false;
    }
    // The new pair is safe: what is left undone here, the next load or start finishes.
    // A rename between two names of one file (the same picture linked again) leaves both names.
    if (files.rename(fresh[0], target[0]) && (!exists(fresh[0]) || files.remove(fresh[0])) &&
        files.rename(fresh[1], target[1])) {
        // The finer copy follows the pair; one of an earlier save belongs to no game any more.
        if (deviceWritten)
            files.rename(devicePart, device);
        else if (exists(device))
            files.remove(device);
        files.syncFolder(folder_);
    }
    return !files.stopped();
}

bool SavedGameStore::isValidName(const QString& name) {
    if (name.trimmed().isEmpty() || name.size() > maxNameLength)
        return false;
    // Names become file names: no folders, nothing Windows file names cannot hold, and no
    // leading or trailing blank or trailing dot, which Windows would silently drop.
    static const QString forbidden = QStringLiteral("<>:\"/\\|?*");
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || forbidden.contains(c))
            return false;
    if (name.front().isSpace() || name.back().isSpace() || name.endsWith(QLatin1Char('.')))
        return false;
    if (name.contains(QStringLiteral("..")))
        return false;
    // Device names Windows reserves, with or without an extension.
    static const QStringList devices = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                        QStringLiteral("NUL")};
    const QString stem = name.section(QLatin1Char('.'), 0, 0).toUpper();
    if (devices.contains(stem))
        return false;
    if (stem.size() == 4 &&
        (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))) &&
        stem[3] >= QLatin1Char('1') && stem[3] <= QLatin1Char('9'))
        return false;
    return true;
}

QString SavedGameStore::readableName(const QString& name) {
    QString shown = name.left(maxNameLength);
    if (!shown.isEmpty() && shown.back().isHighSurrogate())
        shown.chop(1);
    for (QChar& c : shown)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(0xFFFD);
    if (shown.size() < name.size())
        shown += QChar(0x2026);
    return shown;
}

QString SavedGameStore::shownName(const QString& name) {
    return isValidName(name) ? name : loadString(Str::DamagedGameEntry).arg(readableName(name));
}
