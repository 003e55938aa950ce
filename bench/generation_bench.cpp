// Generation from the cut picture to the window shown: elements, shapes, board regions and the
// first paint of a 1024 x 768 window, for 1,000 and 10,000 elements (rotation on). Beside each
// figure: the time of merely writing the bytes the game used to keep (a board bitmap, a bitmap
// per element and the picture in four orientations), and the peak memory of one generation,
// measured in a child process against the sum of those bytes.

#include "bench/benchsupport.h"
#include "board/boardhost.h"
#include "board/boardrenderer.h"
#include "game/gamestate.h"
#include "model/generator.h"
#include "model/picture.h"
#include "model/randomtables.h"
#include "model/services.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Config {
    int rows, columns, size;
};

// A colourful picture of the cut size.
QImage makePicture(const Config& c) {
    QImage picture(c.columns * c.size, c.rows * c.size, QImage::Format_RGB888);
    QPainter p(&picture);
    QLinearGradient g(0, 0, picture.width(), picture.height());
    g.setColorAt(0, QColor(200, 40, 60));
    g.setColorAt(1, QColor(30, 120, 220));
    p.fillRect(picture.rect(), g);
    p.end();
    return picture;
}

// One whole generation, as the frame runs it, up to the window painted.
void generateOnce(GameState& state, const Config& c) {
    NullHost host;
    NullSound sound;
    NullCursor cursor;
    FixedClock clock;
    StandardRandom random;
    BoardRenderer renderer(state, host, sound, cursor);
    GenerationRequest request{c.rows, c.columns, c.size, state.cut};
    Generator(random, clock).generate(request, state.puzzle, state.shapes, state.settings, nullptr);
    const QSize board =
        boardSizeFor(c.columns, c.rows, state.puzzle.geometry.bitmapSize, {1024, 768}, {1024, 768});
    state.board.resize(board.width(), board.height(), 1024, 768);
    state.board.setView(QSize(1024, 768), 1.0);
    renderer.redrawBoard({.clearBackground = true, .playSound = true});
    QImage window(1024, 768, QImage::Format_RGB32);
    QPainter painter(&window);
    renderer.paint(painter, QRegion(window.rect()));
}

GameState freshState(const Config& c) {
    GameState state;
    state.background.loadTexture();
    state.picture = makePicture(c);
    return state;
}

std::int64_t bitmapBytes(const Config& c) {
    const Geometry g = Geometry::compute(c.size, false, true, 4);
    const std::int64_t n = std::int64_t(c.rows) * c.columns;
    const QSize board = boardSizeFor(c.columns, c.rows, g.bitmapSize, {1024, 768}, {1024, 768});
    const std::int64_t pictures = 4 * std::int64_t(c.columns) * c.size * c.rows * c.size * 3;
    return n * g.bitmapSize * g.bitmapSize * 4 + std::int64_t(board.width()) * board.height() * 4 + pictures;
}

void BM_Generate(benchmark::State& bs, Config c) {
    GameState state = freshState(c);
    for (auto _ : bs) {
        state.puzzle.clear();
        generateOnce(state, c);
        benchmark::DoNotOptimize(&state.puzzle.boardRegions);
    }
    bs.counters["elements"] = c.rows * c.columns;
}

// What the game used to pay at the least: allocating and writing the board bitmap and every
// element bitmap once.
void BM_WriteSameBytes(benchmark::State& bs, Config c) {
    const Geometry g = Geometry::compute(c.size, false, true, 4);
    const QSize board = boardSizeFor(c.columns, c.rows, g.bitmapSize, {1024, 768}, {1024, 768});
    for (auto _ : bs) {
        QImage b(board, QImage::Format_RGB32);
        b.fill(0x336699);
        std::vector<QImage> elements(static_cast<std::size_t>(c.rows) * c.columns);
        for (QImage& e : elements) {
            e = QImage(g.bitmapSize, g.bitmapSize, QImage::Format_RGB32);
            e.fill(0x808080);
        }
        benchmark::DoNotOptimize(elements.data());
    }
}

long currentRssKb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Peak memory of one generation, run in a fresh process of this program (a forked copy of a
// process with Qt's thread pool running may hang): the highest resident size minus what the
// process held before the pictures were made.
long measurePeakInThisProcess(const Config& c) {
    GameState state;
    state.background.loadTexture();
    const long before = currentRssKb();
    state.picture = makePicture(c);
    generateOnce(state, c);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss - before;
}

void reportPeakMemory(const char* self, const Config& c) {
    const std::string command = std::string(self) + " --peak " + std::to_string(c.rows) + " " +
                                std::to_string(c.columns) + " " + std::to_string(c.size);
    long peakKb = -1;
    if (FILE* child = popen(command.c_str(), "r")) {
        if (std::fscanf(child, "%ld", &peakKb) != 1)
            peakKb = -1;
        pclose(child);
    }
    const double sum = bitmapBytes(c) / 1024.0 / 1024.0;
    const double peak = peakKb / 1024.0;
    std::printf(
        "peak memory %5d elements, size %3d: %7.1f MiB; the bitmaps and pictures kept before %7.1f MiB; "
        "ratio %.2f\n",
        c.rows * c.columns, c.size, peak, sum, peak / sum);
}

const Config kConfigs[] = {{25, 40, 32}, {25, 40, 64}, {100, 100, 32}, {100, 100, 64}};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 5 && std::strcmp(argv[1], "--peak") == 0) {
        std::printf("%ld\n",
                    measurePeakInThisProcess({std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])}));
        return 0;
    }
    for (const Config& c : kConfigs) {
        const std::string name = std::to_string(c.rows * c.columns) + "/size" + std::to_string(c.size);
        benchmark::RegisterBenchmark(("Generate/" + name).c_str(), BM_Generate, c)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark(("WriteSameBytes/" + name).c_str(), BM_WriteSameBytes, c)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::fflush(stdout);
    for (const Config& c : kConfigs)
        reportPeakMemory(argv[0], c);
    return 0;
}
