// A big game as a player meets it, seen through a 1440 x 860 window: the picture cut at element
// size 48 into as many rows and columns as it holds (10,816 pieces of the photo-like 5000 x 5000
// picture made for the run; 54,000 of a 14,400 x 8,640 one), each figure measured in a fresh
// process of this program:
//
//   read:      the picture file read (Enter in the picture dialog up to the cut dialog)
//   creation:  the picture stretched to the cut, every element made, the table sized and the
//              window painted (Enter in the cut dialog up to the pieces shown)
//   Z, back:   the whole table and back to 100 %, each with its paint
//   steps:     a drag step and a scroll step at 100 %, 50 % and the whole table, each with the
//              paint of what it invalidated; the window draws the tiles around the view while
//              idle between steps, as the program does
//   blocks:    a step of a block of 1,000 joined elements at the three scales, the border first
//              (Ctrl+E), gathering the loose elements (Ctrl+G), and the join of two blocks of
//              half the picture each, every one with its paint
//   memory:    the process's peak resident size (VmHWM) at the end, and what the renderer keeps
//
// The picture is the file given as the first argument, or a photo-like one made for the run.
// With `--ratio R` the window is on a screen of device pixel ratio R: the cut keeps the picture
// R times as fine (as far as the picture has the pixels) and the window is painted at its device
// pixels; the cut is the picture's size divided by R (or by F with `--cut-by F`). `--side N`
// makes the photo N pixels a side (5000 x R unless given): compare ratios on the same photo and
// cut, e.g. `--ratio 2` against `--ratio 1 --side 10000 --cut-by 2`. `--shots DIR` writes the
// window as the cold Z and the whole-table join left it there, so that a change to the drawing
// can be checked pixel for pixel against the one before, and says whether each is what a paint
// from nothing shows (the figures after a shot are then slower).

#include "bench/benchsupport.h"
#include "board/boardrenderer.h"
#include "board/keystate.h"
#include "board/stacking.h"
#include "model/cutcalculator.h"
#include "model/devicepicture.h"
#include "model/edges.h"
#include "model/generator.h"
#include "model/picture.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 48;
int kRows = 104, kColumns = 104; // as many as the picture holds: 5000 / 48 rounded down
const QSize kClient(1440, 860);
const QSize kScreen(1440, 900);
QString shotsDir; // where the window's pictures go, when asked for

constexpr int L = KeyState::LeftButton;

using Clock = std::chrono::steady_clock;
double millisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The processor time of every thread of the process: the work, whatever else the machine runs.
double cpuMillis() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

long peakKb() {
    long kb = -1;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::strncmp(line, "VmHWM:", 6) == 0)
                kb = std::atol(line + 6);
        std::fclose(f);
    }
    return kb;
}

// A photo-like picture: soft colour fields with fine grain.
void writePicture(const QString& path, int side) {
    QImage picture(side, side, QImage::Format_RGB32);
    QPainter p(&picture);
    QRandomGenerator random(19);
    p.fillRect(picture.rect(), QColor(90, 110, 80));
    const double k1 = side / 5000.0;
    for (int k = 0; k < 60; ++k) {
        const QPointF c(random.bounded(side), random.bounded(side));
        QRadialGradient g(c, (300 + random.bounded(1200)) * k1);
        g.setColorAt(0, QColor::fromHsv(random.bounded(360), 120 + random.bounded(120),
                                        120 + random.bounded(130), 200));
        g.setColorAt(1, QColor(0, 0, 0, 0));
        p.fillRect(picture.rect(), g);
    }
    p.end();
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const int n = int(random.bounded(17)) - 8;
            const QRgb c = line[x];
            line[x] = qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255),
                           std::clamp(qBlue(c) + n, 0, 255));
        }
    }
    QImageWriter writer(path, "jpeg");
    writer.setQuality(92);
    writer.write(picture);
}

struct Table : BenchTable {
    QImage big;
    explicit Table(double ratio) : big((QSizeF(kClient) * ratio).toSize(), QImage::Format_RGB32) {
        big.setDevicePixelRatio(ratio);
        renderer.setDeviceRatio(ratio);
        state.background.loadTexture();
        host.size = kClient;
    }
    void paintBig() {
        if (!host.dirty.isEmpty()) {
            QPainter p(&big);
            renderer.paint(p, host.dirty);
        }
        host.dirty = QRegion();
    }
    // With --shots: the window as it is now into the directory, and whether it is, pixel for
    // pixel, what a paint from nothing shows (everything drawn so far is dropped for that: the
    // figures that follow pay for drawing it again).
    void shoot(const char* name) {
        if (shotsDir.isEmpty())
            return;
        big.save(shotsDir + QLatin1Char('/') + QLatin1String(name) + QLatin1String(".png"));
        renderer.dropCaches();
        QImage fresh(big.size(), big.format());
        fresh.setDevicePixelRatio(big.devicePixelRatio());
        {
            QPainter p(&fresh);
            renderer.paint(p, QRegion(QRect(QPoint(0, 0), kClient)));
        }
        int differ = 0;
        for (int y = 0; y < big.height(); ++y)
            for (int x = 0; x < big.width(); ++x)
                differ += big.pixel(x, y) != fresh.pixel(x, y);
        std::printf("  (%s: %s)\n", name,
                    differ == 0
                        ? "the window is what a paint from nothing shows"
                        : (std::to_string(differ) + " pixels differ from a paint from nothing").c_str());
    }
    QPoint clientCentre(int i) const {
        const Rect& b = state.puzzle.bodyRects[i];
        return state.board.toClient(QRect(b.left + kSize / 2, b.top + kSize / 2, 1, 1)).center();
    }
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

template <class Step> double steps(Table& t, int count, Step step) {
    std::vector<double> micros;
    for (int k = 0; k < count; ++k) {
        const auto start = Clock::now();
        step(k);
        t.paintBig();
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        t.idle();
    }
    return median(micros);
}

// The elements of rows [r0, r0 + h) and columns [c0, c0 + w) laid as in the picture with the body
// of the first at `at`, joined as one block; the renderer is told.
std::vector<std::int32_t> joinAsBlock(Table& t, int r0, int c0, int h, int w, QPoint at) {
    Puzzle& p = t.state.puzzle;
    const Geometry& g = p.geometry;
    std::vector<std::int32_t> members;
    const auto inside = [&](int i) {
        return i >= 0 && p.rowOf(i) >= r0 && p.rowOf(i) < r0 + h && p.columnOf(i) >= c0 &&
               p.columnOf(i) < c0 + w;
    };
    for (int r = r0; r < r0 + h; ++r)
        for (int c = c0; c < c0 + w; ++c) {
            const int i = r * kColumns + c;
            members.push_back(i);
            const int left = at.x() + (c - c0) * kSize - g.bodyOffset,
                      top = at.y() + (r - r0) * kSize - g.bodyOffset;
            p.setCellRect(i, Rect{left, top, left + g.bitmapSize, top + g.bitmapSize});
            // Unturned, as the picture is laid out.
            Element& e = p.element(i);
            turnEdgesBy(e.edgeSign, e.orientation);
            turnEdgesBy(e.edgeShift, e.orientation);
            e.orientation = 0;
            t.state.shapes.buildShape(e);
            t.state.shapes.computeShapeBounds(e);
            for (int side = 0; side < 4; ++side) {
                const int n = p.homeNeighbour(i, side);
                e.joinedNeighbour[side] = inside(n) ? n : -1;
            }
        }
    p.blocks.makeBlock(members);
    for (const int i : members)
        t.joiner.updateJoinRegion(i);
    raiseToTop(p, members.front(), t.state.changes);
    t.state.changes.elements(members);
    t.renderer.flush();
    return members;
}

void blocksAndSorting(Table& t) {
    BoardState& s = t.state;
    Viewport& view = t.interaction.viewport();
    // A block of 1,000 (25 x 40) in the middle of the table, dragged by Ctrl + left at each scale.
    const QPoint middle(s.board.boardWidth / 2, s.board.boardHeight / 2);
    const std::vector<std::int32_t> block = joinAsBlock(t, 0, 0, 25, 40, middle);
    for (const double scale : {1.0, 0.5, 0.0}) {
        if (scale == 0.0)
            view.showWholeTable();
        else
            view.setScaleAbout(scale, QPointF(kClient.width() / 2.0, kClient.height() / 2.0));
        const int held = block[12 * 40 + 20];
        view.centreOn(QPointF(s.puzzle.bodyRects[held].left, s.puzzle.bodyRects[held].top));
        t.paintBig();
        const QPoint grab = t.clientCentre(held);
        const int word = KeyState::Control | L;
        t.interaction.leftButtonDown(word, grab);
        t.interaction.mouseMove(word, grab + QPoint(40, 40)); // lifts the block
        t.paintBig();
        const double step = steps(t, 100, [&](int k) {
            t.interaction.mouseMove(word, grab + QPoint(40 + (k % 2) * 3, 40 + ((k / 2) % 2) * 3));
        });
        t.interaction.buttonUp();
        t.paintBig();
        std::printf("%-12s step of a block of 1,000 median %.0f us\n",
                    scale == 0.0   ? "whole table"
                    : scale == 1.0 ? "100 %"
                                   : "50 %",
                    step);
    }
    view.setScaleAbout(1.0, QPointF(0, 0));
    view.centreOn(QPointF(kClient.width() / 2.0, kClient.height() / 2.0));
    t.paintBig();
    for (const bool border : {true, false}) {
        const auto start = Clock::now();
        // As the command runs it: the rule, then the renderer takes what changed.
        Sorter& sorter = t.interaction.sorter();
        const bool done = border ? sorter.edgesFirst() : sorter.gatherLoose();
        const double rulesMs = millisSince(start);
        t.renderer.flush();
        const double flushMs = millisSince(start) - rulesMs;
        t.paintBig();
        std::printf("  (the rule %.0f ms, taking what changed %.0f ms)\n", rulesMs, flushMs);
        std::printf("%s: %.0f ms with its paint%s\n",
                    border ? "Ctrl+E, the border first" : "Ctrl+G, every loose element", millisSince(start),
                    done ? "" : " (nothing moved)");
    }

    // The picture as two blocks of its left and right halves, the right one 300 pixels apart; held
    // by Ctrl + left, lifted and brought within 3 pixels of the left one, at 100 % (the seam in
    // the middle of the window) and in the whole-table view. Three times each, the median shown:
    // a single figure of a few milliseconds is at the mercy of whatever else the machine runs.
    const int half = kColumns / 2;
    for (const double scale : {1.0, 0.0}) {
        std::vector<double> joins, withPaints, processor, paintProcessor;
        bool allJoined = true;
        for (int round = 0; round < 3; ++round) {
            joinAsBlock(t, 0, 0, kRows, half, QPoint(100, 100));
            joinAsBlock(t, 0, half, kRows, kColumns - half, QPoint(100 + half * kSize + 300, 100));
            const int held = kRows / 2 * kColumns + half;
            if (scale == 0.0) {
                view.showWholeTable();
            } else {
                view.setScaleAbout(1.0, QPointF(0, 0));
                view.centreOn(QPointF(s.puzzle.bodyRects[held].left - 150, s.puzzle.bodyRects[held].top));
            }
            t.paintBig();
            for (int i = 0; i < 60 && t.renderer.prefetch() == 0; ++i) {
            }
            const QPoint grab = t.clientCentre(held);
            const int word = KeyState::Control | L;
            t.interaction.leftButtonDown(word, grab);
            t.interaction.mouseMove(word, grab + QPoint(0, 1));
            t.paintBig();
            const QPoint to = grab + QPoint(int(std::lround(-297 * s.board.scale)), 1);
            const auto start = Clock::now();
            const double cpu = cpuMillis();
            t.interaction.mouseMove(word, to);
            joins.push_back(millisSince(start));
            processor.push_back(cpuMillis() - cpu);
            const double paintCpu = cpuMillis();
            t.paintBig();
            withPaints.push_back(millisSince(start));
            paintProcessor.push_back(cpuMillis() - paintCpu);
            if (round == 0)
                t.shoot(scale == 0.0 ? "join-whole" : "join-100");
            t.interaction.buttonUp();
            allJoined = allJoined && s.puzzle.blocks.blockSize(0) == s.puzzle.count();
        }
        std::printf("join of two blocks of %d and %d at %s: %.1f ms, %.1f ms with its paint (the join's "
                    "processor time %.1f ms, the paint's %.1f ms; medians of 3)%s\n",
                    kRows * half, kRows * (kColumns - half), scale == 0.0 ? "the whole table" : "100 %",
                    median(joins), median(withPaints), median(processor), median(paintProcessor),
                    allJoined ? "" : " -- they did not join");
    }
}

int run(const QString& path, double ratio, double cutBy) {
    Table t(ratio);
    BoardState& s = t.state;
    auto start = Clock::now();
    LoadResult loaded = loadPicture(path);
    const double readMs = millisSince(start);
    if (!loaded.ok()) {
        std::printf("cannot read %s\n", qPrintable(path));
        return 1;
    }

    const int cutWidth = static_cast<int>(loaded.picture.width() / cutBy);
    const int cutHeight = static_cast<int>(loaded.picture.height() / cutBy);
    kRows = std::min(cutHeight / kSize, CutCalculator::maxElements / std::max(1, cutWidth / kSize));
    kColumns = cutWidth / kSize;
    std::printf("%d x %d elements of a %d x %d picture\n", kRows, kColumns, loaded.picture.width(),
                loaded.picture.height());

    start = Clock::now();
    QImage picture = loaded.picture;
    if (!scalePicture(picture, kColumns * kSize, kRows * kSize))
        return 1;
    const auto finerStart = Clock::now();
    s.devicePicture = makeDevicePicture(loaded.picture, picture.size(), ratio);
    const double finerMs = millisSince(finerStart);
    loaded.picture = QImage();
    s.picture = std::move(picture);
    GenerationRequest request{kRows, kColumns, kSize, s.cut};
    StandardRandom random;
    FixedClock clock;
    Generator(random, clock).generate(request, s.puzzle, s.shapes, s.settings, nullptr);
    const QSize board = boardSizeFor(kColumns, kRows, s.puzzle.geometry.bitmapSize, kScreen, kScreen);
    s.board.resize(board.width(), board.height(), kScreen.width(), kScreen.height());
    t.interaction.viewport().clientResized();
    t.renderer.redrawBoard({.clearBackground = true, .playSound = true});
    t.paintBig();
    const double createMs = millisSince(start);
    std::printf("read the picture: %.0f ms; creation: %.0f ms (%.2f x the read)\n", readMs, createMs,
                createMs / readMs);
    std::printf("the finer picture (%dx%d) made in %.0f ms of the creation\n", s.devicePicture.width(),
                s.devicePicture.height(), finerMs);
    std::printf("peak memory after creation: %.1f MB\n", peakKb() / 1024.0);

    // Z at once, while the picture's reduced copies may still be made, then as play goes on.
    Viewport& view = t.interaction.viewport();
    start = Clock::now();
    // What the window does while idle until then: the tiles around the view drawn ahead, and
    // what the whole table needs made ready.
    while (t.renderer.prefetch() == 0) {
    }
    t.renderer.waitForPictureLevels();
    std::printf("the picture's reduced copies ready %.0f ms after the pieces were shown\n",
                millisSince(start));
    start = Clock::now();
    view.toggleWholeTable();
    t.paintBig();
    const double firstZ = millisSince(start);
    t.shoot("first-z");
    start = Clock::now();
    view.toggleWholeTable();
    t.paintBig();
    std::printf("first Z right after creation: %.1f ms, back: %.1f ms\n", firstZ, millisSince(start));
    // With nothing drawn before at either scale (the picture's reduced copies made).
    std::vector<double> coldZ, coldZCpu;
    for (int k = 0; k < 5; ++k) {
        t.renderer.dropCaches();
        t.host.invalidateAll();
        t.paintBig();
        start = Clock::now();
        const double cpu = cpuMillis();
        view.toggleWholeTable();
        t.paintBig();
        coldZ.push_back(millisSince(start));
        coldZCpu.push_back(cpuMillis() - cpu);
        if (k == 0)
            t.shoot("cold-z");
        view.toggleWholeTable();
        t.paintBig();
    }
    std::printf(
        "Z with no tile of the whole table kept: median %.1f ms (processor time of all threads %.1f ms)\n",
        median(coldZ), median(coldZCpu));
    std::vector<double> zs, backs;
    for (int k = 0; k < 5; ++k) {
        view.centreOn(QPointF(500 + 900 * k, 400 + 700 * k));
        t.paintBig();
        for (int i = 0; i < 40 && t.renderer.prefetch() == 0; ++i) {
        }
        start = Clock::now();
        view.toggleWholeTable();
        t.paintBig();
        zs.push_back(millisSince(start));
        start = Clock::now();
        view.toggleWholeTable();
        t.paintBig();
        backs.push_back(millisSince(start));
    }
    std::printf("Z: median %.1f ms (worst %.1f), back: median %.1f ms (worst %.1f)\n", median(zs),
                *std::max_element(zs.begin(), zs.end()), median(backs),
                *std::max_element(backs.begin(), backs.end()));

    struct View {
        const char* name;
        double scale; // 0: the whole table
    };
    for (const View v : {View{"100 %", 1.0}, View{"50 %", 0.5}, View{"whole table", 0.0}}) {
        if (v.scale == 0.0) {
            view.showWholeTable();
        } else {
            view.setScaleAbout(v.scale, QPointF(kClient.width() / 2.0, kClient.height() / 2.0));
        }
        const int held = kRows / 2 * kColumns + kColumns / 2; // the middle of the scatter grid
        view.centreOn(QPointF(s.puzzle.bodyRects[held].left, s.puzzle.bodyRects[held].top));
        t.paintBig();
        for (int i = 0; i < 60 && t.renderer.prefetch() == 0; ++i) {
        }
        const QPoint grab = t.clientCentre(held);
        t.interaction.leftButtonDown(L, grab);
        t.paintBig();
        const double drag = steps(t, 400, [&](int k) {
            t.interaction.mouseMove(L, grab + QPoint((k % 2) * 3, ((k / 2) % 2) * 3));
        });
        t.interaction.buttonUp();
        t.paintBig();
        const double scroll = steps(t, 200, [&](int k) {
            // Right and down for a while, then back: new ground comes into view.
            const int key =
                (k / 20) % 2 ? (k % 2 ? Qt::Key_Left : Qt::Key_Up) : (k % 2 ? Qt::Key_Right : Qt::Key_Down);
            t.interaction.keyDown(key);
            if (v.scale == 0.0)
                t.host.invalidateAll(); // nothing to scroll: the whole window painted all the same
        });
        std::printf("%-12s drag step median %.0f us, scroll step median %.0f us\n", v.name, drag, scroll);
        if (v.scale == 0.0)
            t.shoot("whole-steps");
    }
    blocksAndSorting(t);
    const BoardRenderer::Memory m = t.renderer.memory();
    std::printf("kept by the renderer: %d tiles %.1f MB, picture levels %.1f MB, index %.1f MB, shapes' rows "
                "%.1f MB; the picture %.1f MB, the finer picture %.1f MB\n",
                m.tileCount, m.tiles / 1e6, m.pictureLevels / 1e6, m.index / 1e6, m.shapeRows / 1e6,
                s.picture.sizeInBytes() / 1e6, s.devicePicture.sizeInBytes() / 1e6);
    std::printf("peak memory: %.1f MB\n", peakKb() / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    int arg = 1;
    double ratio = 1.0;
    int side = 0;
    double cutBy = 0;
    while (argc > arg + 1 && std::strncmp(argv[arg], "--", 2) == 0) {
        if (std::strcmp(argv[arg], "--ratio") == 0)
            ratio = std::clamp(std::atof(argv[arg + 1]), 1.0, maxDeviceRatio);
        else if (std::strcmp(argv[arg], "--cut-by") == 0)
            cutBy = std::clamp(std::atof(argv[arg + 1]), 1.0, maxDeviceRatio);
        else if (std::strcmp(argv[arg], "--side") == 0)
            side = std::clamp(std::atoi(argv[arg + 1]), 1000, 16000);
        else if (std::strcmp(argv[arg], "--shots") == 0)
            shotsDir = QString::fromLocal8Bit(argv[arg + 1]);
        arg += 2;
    }
    QString path = argc > arg ? QString::fromLocal8Bit(argv[arg]) : QString();
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("photo.jpg"));
        writePicture(path, side > 0 ? side : static_cast<int>(std::lround(5000 * ratio)));
    }
    std::printf("device pixel ratio %.2f\n", ratio);
    return run(path, ratio, cutBy > 0 ? cutBy : ratio);
}
