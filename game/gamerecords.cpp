#include "game/gamerecords.h"

#include "game/gamestate.h"

#include <QCryptographicHash>
#include <QImage>
#include <QtEndian>

#include <algorithm>

QByteArray pictureFingerprint(const QImage& picture) {
    // BLAKE2b runs at over twice the speed of SHA-256: a 5000 x 5000 picture takes some 0.15 s.
    QCryptographicHash hash(QCryptographicHash::Blake2b_256);
    const qint32 size[2] = {qToLittleEndian<qint32>(picture.width()),
                            qToLittleEndian<qint32>(picture.height())};
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(size), sizeof size));
    // A strip at a time in one 24-bit format: the same colours hash the same in any depth, and
    // a large picture is never copied whole.
    constexpr int kStrip = 64;
    const int width = picture.width();
    for (int y = 0; y < picture.height(); y += kStrip) {
        const int rows = std::min(kStrip, picture.height() - y);
        const QImage strip = picture.copy(0, y, width, rows).convertToFormat(QImage::Format_RGB888);
        for (int r = 0; r < strip.height(); ++r)
            hash.addData(
                QByteArrayView(reinterpret_cast<const char*>(strip.constScanLine(r)), qsizetype(width) * 3));
    }
    return hash.result().left(16).toHex();
}

RecordKey recordKeyFor(const GameState& state) {
    RecordKey k;
    k.picture = pictureFingerprint(state.picture);
    k.elementSize = state.puzzle.geometry.elementSize;
    k.rows = state.puzzle.rows;
    k.columns = state.puzzle.columns;
    k.rotateElements = state.cut.rotateElements ? 1 : 0;
    k.mosaic = state.cut.mosaic ? 1 : 0;
    k.irregularBase = state.cut.irregularBase ? 1 : 0;
    k.shiftKnobs = state.cut.shiftKnobs ? 1 : 0;
    k.exactAssembly = state.settings.exactAssembly ? 1 : 0;
    return k;
}

FinishReport GameRecords::finish(const GameState& state, std::int64_t seconds, std::int64_t now) {
    FinishReport report;
    report.elements = state.puzzle.count();
    Record& r = report.record;
    r.key = recordKeyFor(state);
    // A clock set back by the system shows 00:00:00; the record says what the clock said.
    r.seconds = std::max<std::int64_t>(seconds, 0);
    r.finishedAt = now;

    report.damaged = store_.read() == RecordStore::ReadStatus::Damaged;
    report.notAFile = store_.notAFile();
    namePicture(report, state);
    r.pictureName = report.pictureName;

    report.place = store_.add(r);
    report.best = store_.bestFor(r.key);
    // A time that is not among the ten changes nothing on disk.
    report.written = report.place < 0 || store_.write();
    return report;
}

namespace {
// The latest name among times of one picture and cut; empty when none had one.
QString latestName(const std::vector<Record>& records) {
    const Record* named = nullptr;
    for (const Record& e : records)
        if (!e.pictureName.isEmpty() && (!named || e.finishedAt > named->finishedAt))
            named = &e;
    return named ? named->pictureName : QString();
}
} // namespace

void GameRecords::namePicture(FinishReport& report, const GameState& state) const {
    report.pictureName = state.pictureName;
    if (report.pictureName.isEmpty()) {
        // A saved game does not know its picture's file; an earlier time of the picture may.
        report.pictureName = latestName(store_.bestFor(report.record.key));
        if (report.pictureName.isEmpty())
            report.gameName = state.gameName;
    }
}

FinishReport GameRecords::current(const GameState& state) {
    FinishReport report;
    report.finished = false;
    report.written = true;
    report.elements = state.puzzle.count();
    report.record.key = recordKeyFor(state);
    report.damaged = store_.read() == RecordStore::ReadStatus::Damaged;
    namePicture(report, state);
    report.best = store_.bestFor(report.record.key);
    return report;
}

std::vector<FinishReport> GameRecords::overview() {
    std::vector<FinishReport> reports;
    const bool damaged = store_.read() == RecordStore::ReadStatus::Damaged;
    // records() holds each key's times together, best first.
    for (const Record& r : store_.records()) {
        if (!reports.empty() && reports.back().record.key == r.key) {
            reports.back().best.push_back(r);
            continue;
        }
        FinishReport& report = reports.emplace_back();
        report.finished = false;
        report.written = true;
        report.damaged = damaged;
        report.record.key = r.key;
        report.elements = r.key.rows * r.key.columns;
        report.best.push_back(r);
    }
    for (FinishReport& report : reports)
        report.pictureName = latestName(report.best);
    return reports;
}
