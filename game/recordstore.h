#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class DurableFiles;
class QIODevice;

// What makes two finished games comparable: the same picture, cut the same way and assembled
// under the same rule. The picture is known by a fingerprint of its pixels as cut, so a picture
// loaded again from any file, or the picture of a saved game, finds its earlier times.
struct RecordKey {
    QByteArray picture; // 32 lower-case hex digits
    std::int32_t elementSize = 0;
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::int32_t rotateElements = 0;
    std::int32_t mosaic = 0;
    std::int32_t irregularBase = 1;
    std::int32_t shiftKnobs = 1;
    std::int32_t exactAssembly = 0;

    friend bool operator==(const RecordKey&, const RecordKey&) = default;
};

// One finished game.
struct Record {
    RecordKey key;
    std::int64_t seconds = 0;    // playing time
    std::int64_t finishedAt = 0; // seconds since 1970-01-01 UTC
    QString pictureName;         // what the picture was called when it was played; may be empty

    friend bool operator==(const Record&, const Record&) = default;
};

// The best times, ten per picture and cut, in one text file of the player's: the line
// "[RECORDS]", then one line per time, its fields separated by tabs: picture fingerprint, element
// size, rows, columns, the four cut options (turned, mosaic, bowed base, shifted knobs), exact
// assembly, seconds, the finishing instant (ISO 8601, UTC) and the picture's name.
//
// The file is read afresh before each new time is added, so two programs running at once lose
// at most a time finished at the same moment, and written whole through a temporary file that
// replaces it only once complete. Reading trusts nothing: lines, names, counts and the file's
// size are bounded; a line that does not read is skipped and the file counts as damaged.
class RecordStore {
public:
    static constexpr int maxPerKey = 10;
    // Pictures and cuts remembered; beyond them the one played longest ago is forgotten.
    static constexpr int maxKeys = 1000;
    static constexpr int maxNameLength = 100;
    static constexpr int maxLineBytes = 1024;
    static constexpr qint64 maxFileBytes = qint64(maxKeys) * maxPerKey * maxLineBytes;

    static QString fileName() { return QStringLiteral("records.txt"); }
    static QString damagedFileName() { return QStringLiteral("records.damaged.txt"); }

    // The folder, with or without a trailing slash.
    void setFolder(const QString& folder);
    QString path() const;
    QString damagedCopyPath() const;

    enum class ReadStatus { Missing, Read, Damaged };
    // Replaces what is held by what the file holds. Damaged: some of it (or all) could not be
    // read; what could is held, and the next write first keeps a copy of the damaged file.
    ReadStatus read();
    // The last read found something other than a file (a pipe) in the file's place: it holds no
    // times, and the next write replaces it without keeping a copy.
    bool notAFile() const { return notAFile_; }
    // The same from bytes already read.
    ReadStatus parse(QIODevice& device);

    // Every time held, grouped by key (in the order keys were first met), best first.
    const std::vector<Record>& records() const { return records_; }
    // The times of this key, best first.
    std::vector<Record> bestFor(const RecordKey& key) const;
    // Adds a time; returns its place among the best of its key (0 = best), or -1 when it is not
    // among the ten. Equal times keep the earlier one ahead.
    int add(const Record& record);

    // Writes every time held; false when the file could not be written, and the file on disk
    // is then the one before.
    bool write();
    QByteArray serialised() const;

    // How the bytes reach the temporary file; tests make it fail.
    using Writer = std::function<bool(QIODevice& device, const QByteArray& bytes)>;
    void setWriter(Writer writer) { writer_ = std::move(writer); }

private:
    void normalise();
    bool keepDamagedFile(DurableFiles& files) const;

    QString folder_;
    std::vector<Record> records_;
    bool keepDamagedCopy_ = false;
    bool notAFile_ = false;
    Writer writer_;
};
