#include "game/savedgamestore.h"

#include "game/savedgame.h"
#include "model/picture.h"
#include "model/services.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>
#include <vector>

namespace {

const QByteArray kHeader = QByteArrayLiteral("[SAVED GAMES]");

QString withPath(int stringId, const QString& path) {
    return loadString(stringId).replace(QLatin1String("%s"), path);
}

bool renameOver(const QString& from, const QString& to) {
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(from.toStdString()),
                            std::filesystem::path(to.toStdString()), ec);
    return !ec;
}

} // namespace

SavedGameStore::SavedGameStore(IMessageBox& messages, ICursor& cursor)
    : messages_(messages), cursor_(cursor), pictureWriter_(writeBitmapFile) {}

QString SavedGameStore::indexPath() const {
    return folder_ + QStringLiteral("/games.psg");
}
QString SavedGameStore::picturePath(const QString& name) const {
    return folder_ + QLatin1Char('/') + name + QStringLiteral(".bmp");
}
QString SavedGameStore::gamePath(const QString& name) const {
    return folder_ + QLatin1Char('/') + name + QStringLiteral(".pzs");
}

void SavedGameStore::ensureFolder() const {
    if (!QFileInfo(folder_).isDir())
        QDir().mkpath(folder_);
}

void SavedGameStore::readIndex() {
    QFile file(indexPath());
    if (!file.open(QIODevice::ReadOnly))
        return;
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
    QSaveFile file(indexPath());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(text) != text.size() || !file.commit())
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
    for (const QString& path : {picturePath(name), gamePath(name)}) {
        // A file that is not there needs no deleting.
        if (QFileInfo::exists(path) && !QFile::remove(path))
            messages_.messageBox(withPath(Str::CannotDelete, QDir::toNativeSeparators(path)),
                                 MessageKind::Warning, MessageButtons::Ok);
    }
    names_.removeAll(name);
    writeIndex();
}

bool SavedGameStore::writeGameFiles(const QString& name, const QImage& picture,
                                    const std::function<bool(const QString& path)>& writeText) {
    if (!isValidName(name))
        return false;
    WaitCursor wait(cursor_);
    const QString targets[2] = {picturePath(name), gamePath(name)};
    const QString fresh[2] = {targets[0] + QStringLiteral(".new"), targets[1] + QStringLiteral(".new")};
    const QString kept[2] = {targets[0] + QStringLiteral(".old"), targets[1] + QStringLiteral(".old")};
    auto removeAll = [](const QString(&paths)[2]) {
        for (const QString& p : paths)
            QFile::remove(p);
    };

    bool written = pictureWriter_(fresh[0], picture) || writePictureBmp24(fresh[0], picture);
    written = written && writeText(fresh[1]);
    if (!written) {
        removeAll(fresh);
        return false;
    }

    // Put the earlier files aside, then the new ones in place; any failure puts everything back.
    removeAll(kept);
    std::vector<int> setAside, placed;
    bool ok = true;
    for (int k = 0; k < 2 && ok; ++k) {
        if (QFileInfo::exists(targets[k])) {
            ok = renameOver(targets[k], kept[k]);
            if (ok)
                setAside.push_back(k);
        }
    }
    for (int k = 0; k < 2 && ok; ++k) {
        ok = renameOver(fresh[k], targets[k]);
        if (ok)
            placed.push_back(k);
    }
    if (!ok) {
        for (const int k : placed)
            QFile::remove(targets[k]);
        for (const int k : setAside)
            renameOver(kept[k], targets[k]);
        removeAll(fresh);
        return false;
    }
    removeAll(kept);
    return true;
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
