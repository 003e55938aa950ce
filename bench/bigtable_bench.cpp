// The 10,816-piece game (a 5000 x 5000 picture cut at element size 48) as a player meets it, seen
// through a 1440 x 860 window, each figure measured in a fresh process of this program:
//
//   read:      the picture file read (Enter in the picture dialog up to the cut dialog)
//   creation:  the picture stretched to the cut, every element made, the table sized and the
//              window painted (Enter in the cut dialog up to the pieces shown)
//   Z, back:   the whole table and back to 100 %, each with its paint
//   steps:     a drag step and a scroll step at 100 %, 50 % and the whole table, each with the
//              paint of what it invalidated; the window draws the tiles around the view while
//              idle between steps, as the program does
//   memory:    the process's peak resident size (VmHWM) at the end, and what the renderer keeps
//
// The picture is the file given as the first argument, or a photo-like one made for the run.
// With `--ratio R` the window is on a screen of device pixel ratio R: the cut keeps the picture
// R times as fine (as far as the picture has the pixels) and the window is painted at its device
// pixels. `--side N` makes the photo N pixels a side (5000 x R unless given): compare ratios on
// the same photo.

#include "bench/benchsupport.h"
#include "board/boardrenderer.h"
#include "board/keystate.h"
#include "model/devicepicture.h"
#include "model/generator.h"
#include "model/picture.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 104, kColumns = 104, kSize = 48; // 5000 / 48 rounded down
const QSize kClient(1440, 860);
const QSize kScreen(1440, 900);
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

int run(const QString& path, double ratio) {
    Table t(ratio);
    BoardState& s = t.state;
    auto start = Clock::now();
    LoadResult loaded = loadPicture(path);
    const double readMs = millisSince(start);
    if (!loaded.ok()) {
        std::printf("cannot read %s\n", qPrintable(path));
        return 1;
    }

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
    t.renderer.waitForPictureLevels();
    std::printf("the picture's reduced copies ready %.0f ms after the pieces were shown\n",
                millisSince(start));
    start = Clock::now();
    view.toggleWholeTable();
    t.paintBig();
    const double firstZ = millisSince(start);
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
        const int held = 5408; // the middle of the scatter grid
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
    }
    const BoardRenderer::Memory m = t.renderer.memory();
    std::printf("kept by the renderer: %d tiles %.1f MB, picture levels %.1f MB, index %.1f MB; the picture "
                "%.1f MB, the finer picture %.1f MB\n",
                m.tileCount, m.tiles / 1e6, m.pictureLevels / 1e6, m.index / 1e6,
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
    while (argc > arg + 1 && std::strncmp(argv[arg], "--", 2) == 0) {
        if (std::strcmp(argv[arg], "--ratio") == 0)
            ratio = std::clamp(std::atof(argv[arg + 1]), 1.0, maxDeviceRatio);
        else if (std::strcmp(argv[arg], "--side") == 0)
            side = std::clamp(std::atoi(argv[arg + 1]), 1000, 16000);
        arg += 2;
    }
    QString path = argc > arg ? QString::fromLocal8Bit(argv[arg]) : QString();
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("photo.jpg"));
        writePicture(path, side > 0 ? side : static_cast<int>(std::lround(5000 * ratio)));
    }
    std::printf("device pixel ratio %.2f\n", ratio);
    return run(path, ratio);
}
