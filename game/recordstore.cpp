#include "game/recordstore.h"

#include "model/cutcalculator.h"
#include "model/durablefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <limits>

namespace {

const QByteArray kHeader = QByteArrayLiteral("[RECORDS]");
constexpr int kFields = 12;

QByteArray keyText(const RecordKey& k) {
    QByteArray text = k.picture;
    for (const std::int32_t v : {k.elementSize, k.rows, k.columns, k.rotateElements, k.mosaic,
                                 k.irregularBase, k.shiftKnobs, k.exactAssembly})
        text += '\t' + QByteArray::number(v);
    return text;
}

bool isFingerprint(const QByteArray& text) {
    return text.size() == 32 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

bool readInt(const QByteArray& text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    bool ok = false;
    value = text.toLongLong(&ok);
    return ok && value >= low && value <= high;
}

bool readFlag(const QByteArray& text, std::int32_t& flag) {
    if (text != "0" && text != "1")
        return false;
    flag = text == "1" ? 1 : 0;
    return true;
}

// Names become one field of one line: no control characters (tabs, line feeds), bounded length.
QString cleanName(const QString& name) {
    QString clean = name.left(RecordStore::maxNameLength);
    if (!clean.isEmpty() && clean.back().isHighSurrogate())
        clean.chop(1);
    for (QChar& c : clean)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    return clean;
}

bool parseLine(const QByteArray& line, Record& r) {
    const QList<QByteArray> f = line.split('\t');
    if (f.size() != kFields || !isFingerprint(f[0]))
        return false;
    RecordKey& k = r.key;
    k.picture = f[0];
    std::int64_t size = 0, rows = 0, columns = 0;
    if (!readInt(f[1], 1, 4096, size) || !readInt(f[2], 1, CutCalculator::maxElements, rows) ||
        !readInt(f[3], 1, CutCalculator::maxElements, columns) || rows * columns > CutCalculator::maxElements)
        return false;
    k.elementSize = std::int32_t(size);
    k.rows = std::int32_t(rows);
    k.columns = std::int32_t(columns);
    if (!readFlag(f[4], k.rotateElements) || !readFlag(f[5], k.mosaic) || !readFlag(f[6], k.irregularBase) ||
        !readFlag(f[7], k.shiftKnobs) || !readFlag(f[8], k.exactAssembly))
        return false;
    if (!readInt(f[9], 0, std::numeric_limits<std::int64_t>::max(), r.seconds))
        return false;
    const QDateTime finished = QDateTime::fromString(QString::fromLatin1(f[10]), Qt::ISODate);
    if (!finished.isValid())
        return false;
    r.finishedAt = finished.toSecsSinceEpoch();
    QStringDecoder utf8(QStringDecoder::Utf8);
    r.pictureName = utf8(f[11]);
    return !utf8.hasError() && r.pictureName.size() <= RecordStore::maxNameLength &&
           r.pictureName == cleanName(r.pictureName);
}

} // namespace

void RecordStore::setFolder(const QString& folder) {
    folder_ = folder;
    if (folder_.endsWith(QLatin1Char('/')))
        folder_.chop(1);
}

QString RecordStore::path() const {
    return folder_ + QLatin1Char('/') + fileName();
}

QString RecordStore::damagedCopyPath() const {
    return folder_ + QLatin1Char('/') + damagedFileName();
}

RecordStore::ReadStatus RecordStore::read() {
    records_.clear();
    keepDamagedCopy_ = false;
    const QFileInfo info(path());
    notAFile_ = info.exists() && !info.isFile();
    if (!info.exists() && !info.isSymLink())
        return ReadStatus::Missing;
    QFile file(path());
    if (!openRegularFile(file)) {
        // Unreadable is not damaged: writing over a file we cannot read would lose it. What is
        // not a file at all (a pipe) holds no times and is simply replaced.
        keepDamagedCopy_ = info.isFile();
        return ReadStatus::Damaged;
    }
    return parse(file);
}

RecordStore::ReadStatus RecordStore::parse(QIODevice& device) {
    records_.clear();
    keepDamagedCopy_ = false;
    if (device.atEnd())
        return ReadStatus::Read;
    bool damaged = false;
    qint64 bytes = 0;
    bool headerSeen = false;
    while (!device.atEnd()) {
        QByteArray line = device.readLine(maxLineBytes + 1);
        bytes += line.size();
        const bool complete = line.endsWith('\n') || device.atEnd();
        // A line longer than any we write is skipped to its end, a bounded piece at a time.
        while (!line.endsWith('\n') && !device.atEnd() && bytes <= maxFileBytes) {
            line = device.readLine(maxLineBytes + 1);
            bytes += line.size();
        }
        if (bytes > maxFileBytes || records_.size() >= std::size_t(maxKeys) * maxPerKey) {
            damaged = true;
            break;
        }
        if (!complete) {
            damaged = true;
            if (!headerSeen)
                break;
            continue;
        }
        QByteArray text = line;
        while (text.endsWith('\n') || text.endsWith('\r'))
            text.chop(1);
        if (!headerSeen) {
            headerSeen = true;
            if (text != kHeader) {
                // Not a records file at all: nothing in it is taken for a time.
                damaged = true;
                break;
            }
            continue;
        }
        if (text.isEmpty())
            continue;
        Record r;
        if (parseLine(text, r))
            records_.push_back(std::move(r));
        else
            damaged = true;
    }
    const std::size_t read = records_.size();
    normalise();
    // More than ten times of a key is not something we write.
    damaged = damaged || records_.size() != read;
    keepDamagedCopy_ = damaged;
    return damaged ? ReadStatus::Damaged : ReadStatus::Read;
}

void RecordStore::normalise() {
    // Grouped by key in the order keys were first met; within a key by time, equal times in the
    // order they came, which is the order they were made.
    QHash<QByteArray, int> groupOf;
    std::vector<std::vector<Record>> groups;
    for (Record& r : records_) {
        const QByteArray k = keyText(r.key);
        auto it = groupOf.find(k);
        if (it == groupOf.end()) {
            it = groupOf.insert(k, int(groups.size()));
            groups.emplace_back();
        }
        groups[it.value()].push_back(std::move(r));
    }
    for (auto& g : groups) {
        std::stable_sort(g.begin(), g.end(),
                         [](const Record& a, const Record& b) { return a.seconds < b.seconds; });
        if (g.size() > std::size_t(maxPerKey))
            g.resize(maxPerKey);
    }
    while (groups.size() > std::size_t(maxKeys)) {
        // The picture and cut played longest ago gives way.
        auto lastPlayed = [](const std::vector<Record>& g) {
            std::int64_t latest = g.front().finishedAt;
            for (const Record& r : g)
                latest = std::max(latest, r.finishedAt);
            return latest;
        };
        const auto oldest = std::min_element(groups.begin(), groups.end(), [&](const auto& a, const auto& b) {
            return lastPlayed(a) < lastPlayed(b);
        });
        groups.erase(oldest);
    }
    records_.clear();
    for (auto& g : groups)
        for (Record& r : g)
            records_.push_back(std::move(r));
}

std::vector<Record> RecordStore::bestFor(const RecordKey& key) const {
    std::vector<Record> best;
    for (const Record& r : records_)
        if (r.key == key)
            best.push_back(r);
    return best;
}

int RecordStore::add(const Record& record) {
    int place = 0;
    for (const Record& r : records_)
        if (r.key == record.key && r.seconds <= record.seconds)
            ++place;
    if (place >= maxPerKey)
        return -1;
    Record clean = record;
    clean.pictureName = cleanName(record.pictureName);
    records_.push_back(std::move(clean));
    normalise();
    return place;
}

QByteArray RecordStore::serialised() const {
    QByteArray text = kHeader + '\n';
    for (const Record& r : records_) {
        text += keyText(r.key);
        text += '\t' + QByteArray::number(r.seconds);
        text += '\t' + QDateTime::fromSecsSinceEpoch(r.finishedAt, Qt::UTC).toString(Qt::ISODate).toLatin1();
        text += '\t' + cleanName(r.pictureName).toUtf8();
        text += '\n';
    }
    return text;
}

bool RecordStore::write() {
    if (!QDir().mkpath(folder_))
        return false;
    DurableFiles files;
    if (keepDamagedCopy_ && QFileInfo(path()).isFile() && !keepDamagedFile(files))
        return false;
    const QByteArray bytes = serialised();
    const bool written = files.replace(path(), [&](QIODevice& device) {
        return writer_ ? writer_(device, bytes) : device.write(bytes) == bytes.size();
    });
    if (!written)
        return false;
    keepDamagedCopy_ = false;
    return true;
}

bool RecordStore::keepDamagedFile(DurableFiles& files) const {
    // The damaged file may still hold times a player wants back: it stays beside the new one, as
    // far as the reader ever reads a file.
    QFile damaged(path());
    if (!openRegularFile(damaged))
        return false;
    return files.replace(damagedCopyPath(), [&damaged](QIODevice& copy) {
        QByteArray piece;
        for (qint64 left = maxFileBytes; left > 0 && !damaged.atEnd(); left -= piece.size()) {
            piece = damaged.read(std::min<qint64>(left, 1 << 20));
            if (piece.isEmpty() || copy.write(piece) != piece.size())
                return false;
        }
        return true;
    });
}
