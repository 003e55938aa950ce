// Writes the saved-game fuzzer's seed files into the folder named on the command line: small
// games of every kind the program makes (turning on and off, shifted knobs, mosaic, exact and
// tolerant assembly with joins between differently turned elements, blocks), the same games
// with values spread over lines and other marking digits, and damaged and hostile files the
// reader must refuse (huge counts, boards and positions claimed by a few bytes).

#include "game/gamestate.h"
#include "game/savedgame.h"
#include "model/generator.h"
#include "model/picture.h"
#include "model/randomtables.h"
#include "model/services.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <memory>

namespace {

class FixedClock : public IClock {
public:
    std::int64_t nowSeconds() const override { return 1'700'000'017; }
};

struct Kind {
    const char* name;
    int rows, columns, size;
    bool rotate, shift, mosaic, squareBase, exact;
};

std::unique_ptr<GameState> generated(const Kind& k, std::uint32_t seed) {
    auto s = std::make_unique<GameState>();
    s->screenWidth = 1024;
    s->screenHeight = 768;
    s->cut.rotateElements = k.rotate;
    s->cut.shiftKnobs = k.shift;
    s->cut.mosaic = k.mosaic;
    s->cut.irregularBase = k.squareBase ? 0 : 1;
    s->settings.exactAssembly = k.exact;
    s->picture = QImage(k.columns * k.size, k.rows * k.size, QImage::Format_RGB32);
    s->picture.fill(0x808040);
    StandardRandom random;
    random.seed(seed);
    FixedClock clock;
    GenerationRequest request{k.rows, k.columns, k.size, s->cut};
    Generator(random, clock).generate(request, s->puzzle, s->shapes, s->settings, nullptr);
    const QSize board =
        boardSizeFor(k.columns, k.rows, s->puzzle.geometry.bitmapSize, {1024, 768}, {1024, 768});
    s->board.resize(board.width(), board.height(), 1024, 768);
    s->clock.clockCarried = 3723;
    return s;
}

// Joins the first fitting pair of facing sides of a and b as play records a join, whatever the
// two elements' turns (tolerant assembly allows that).
bool join(GameState& s, int a, int b) {
    Element& x = s.puzzle.element(a);
    Element& y = s.puzzle.element(b);
    for (int side = 0; side < 4; ++side) {
        const int other = (side + 2) % 4;
        if (x.joinedNeighbour[side] != -1 || y.joinedNeighbour[other] != -1 || x.edgeSign[side] == 0 ||
            x.edgeSign[side] != -y.edgeSign[other] || x.edgeShift[side] != -y.edgeShift[other])
            continue;
        x.joinedNeighbour[side] = b;
        y.joinedNeighbour[other] = a;
        s.puzzle.blocks.merge(a, b);
        return true;
    }
    return false;
}

// Some joins: with `mixedTurns`, preferably between elements turned differently.
void joinSome(GameState& s, int wanted, bool mixedTurns) {
    const int n = s.puzzle.count();
    int made = 0;
    for (int a = 0; a < n && made < wanted; ++a)
        for (int b = a + 1; b < n && made < wanted; ++b) {
            const bool differ = s.puzzle.element(a).orientation != s.puzzle.element(b).orientation;
            if (differ == mixedTurns && join(s, a, b))
                ++made;
        }
}

// A compact text with value v of element i's record replaced.
QByteArray withRecordValue(const QByteArray& compact, int i, int v, const QByteArray& value) {
    QList<QByteArray> lines = compact.split('\n');
    const qsizetype record = lines.indexOf("[ELEMENTS]\r") + 1 + i;
    QList<QByteArray> values = lines[record].trimmed().split(' ');
    values[v] = value;
    lines[record] = values.join(' ') + '\r';
    return lines.join('\n');
}

void write(const QDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makesavedcorpus FOLDER\n");
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("."));

    const Kind kinds[] = {
        {"tolerant", 3, 4, 16, true, true, false, false, false},
        {"exact", 3, 3, 24, true, true, false, false, true},
        {"flat", 2, 5, 16, false, false, false, false, false},
        {"mosaic", 3, 3, 16, true, true, true, false, false},
        {"squares", 2, 3, 16, false, false, true, true, true},
        {"single", 1, 1, 32, true, true, false, false, false},
        {"row", 1, 7, 16, true, false, false, false, false},
    };
    std::uint32_t seed = 3;
    for (const Kind& k : kinds) {
        auto s = generated(k, seed++);
        const QString base = QString::fromLatin1(k.name);
        write(dir, base + QStringLiteral(".pzs"), formatSavedGame(*s, 0));
        joinSome(*s, 3, true);
        joinSome(*s, 3, false);
        const QByteArray joined = formatSavedGame(*s, 1);
        write(dir, base + QStringLiteral("-joined.pzs"), joined);
        // The same game read the other ways the reader allows.
        write(dir, base + QStringLiteral("-lf.pzs"), QByteArray(joined).replace("\r\n", "\n"));
        write(dir, base + QStringLiteral("-digits.pzs"),
              QByteArray(joined).replace("1\r\n\r\n", "2\r\n\r\n"));
        write(dir, base + QStringLiteral("-spread.pzs"), QByteArray(joined).replace(" ", "\r\n  \t"));
        // The compact form of the same game, as the autosave writes every game.
        const QByteArray compact =
            formatSavedGame(savedGameSnapshot(*s, 1, s->clock.clockCarried), SavedGameForm::Compact);
        write(dir, base + QStringLiteral("-compact.pzs"), compact);
        write(dir, base + QStringLiteral("-compact-lf.pzs"), QByteArray(compact).replace("\r\n", "\n"));
        write(dir, base + QStringLiteral("-compact-spread.pzs"),
              QByteArray(compact).replace(" ", "\r\n  \t"));
    }

    // Hostile files: a few bytes claiming huge things.
    const QByteArray head = "[GLOBALS]\r\n";
    write(dir, QStringLiteral("many-elements.pzs"), head + "128 129\r\n");
    write(dir, QStringLiteral("long-row.pzs"), head + "1 16384\r\n");
    write(dir, QStringLiteral("not-a-game.pzs"), "[SAVED GAMES]\r\nfirst\r\n");
    auto small = generated(kinds[5], 1);
    const QByteArray one = formatSavedGame(*small, 0);
    write(dir, QStringLiteral("huge-board.pzs"),
          QByteArray(one).replace("\r\n1024 768\r\n", "\r\n2147483647 32768\r\n"));
    const QByteArray firstBody = one.mid(
        one.indexOf('\n', 12) + 1, one.indexOf('\n', one.indexOf('\n', 12) + 1) - one.indexOf('\n', 12) - 1);
    write(dir, QStringLiteral("far-element.pzs"),
          QByteArray(one).replace(firstBody, "900000 900000 900032 900032\r"));
    write(dir, QStringLiteral("no-elements-section.pzs"), QByteArray(one).replace("[ELEMENTS]\r\n", ""));

    // The compact form's hostile files: the largest game in a few bytes, one element beyond it,
    // an element far off, a block named before it is opened.
    const QByteArray compactHead = "[GLOBALS 2]\r\n";
    write(dir, QStringLiteral("compact-many-elements.pzs"), compactHead + "200 300\r\n");
    write(dir, QStringLiteral("compact-beyond-largest.pzs"), compactHead + "1 60001\r\n");
    const QByteArray compactOne = formatSavedGame(savedGameSnapshot(*small, 0, 3723), SavedGameForm::Compact);
    write(dir, QStringLiteral("compact-far-element.pzs"),
          withRecordValue(withRecordValue(compactOne, 0, 0, "900000"), 0, 1, "900000"));
    auto row = generated(kinds[6], 9);
    joinSome(*row, 2, false);
    const QByteArray compactRow = formatSavedGame(savedGameSnapshot(*row, 0, 60), SavedGameForm::Compact);
    write(dir, QStringLiteral("compact-block-ahead.pzs"), withRecordValue(compactRow, 0, 17, "1"));
    return 0;
}
