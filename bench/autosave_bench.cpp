// What the background autosave costs the main thread at 10,000 elements (100 x 100 at element
// size 32, a third of them in blocks of ten): the snapshot of the play, the comparison with what
// was last written, and a whole refresh step that finds nothing changed. The write itself runs
// on another thread; its time is shown for scale. A frame at 60 Hz is 16.7 ms.

#include "bench/benchsupport.h"
#include "game/autosave.h"
#include "game/gamestate.h"
#include "game/savedgame.h"
#include "model/generator.h"
#include "model/randomtables.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRows = 100, kColumns = 100, kSize = 32;

GameState& game() {
    static std::unique_ptr<GameState> state = [] {
        auto s = std::make_unique<GameState>();
        s->screenWidth = 1024;
        s->screenHeight = 768;
        s->picture = QImage(kColumns * kSize, kRows * kSize, QImage::Format_RGB32);
        s->picture.fill(QColor(120, 160, 200));
        StandardRandom random;
        FixedClock clock;
        GenerationRequest request{kRows, kColumns, kSize, s->cut};
        Generator(random, clock).generate(request, s->puzzle, s->shapes, s->settings, nullptr);
        const QSize board =
            boardSizeFor(kColumns, kRows, s->puzzle.geometry.bitmapSize, QSize(1024, 768), QSize(1024, 768));
        s->board.resize(board.width(), board.height(), 1024, 768);
        s->flags.pictureLoaded = s->flags.cutDone = 1;
        Puzzle& p = s->puzzle;
        for (int i = 0; i + 10 < p.count(); i += 30)
            for (int k = 1; k < 10; ++k)
                p.blocks.merge(i, i + k);
        return s;
    }();
    return *state;
}

void BM_Snapshot(benchmark::State& st) {
    GameState& s = game();
    for (auto _ : st)
        benchmark::DoNotOptimize(savedGameSnapshot(s, 0, 1234));
    st.SetLabel(std::to_string(s.puzzle.count()) + " elements");
}
BENCHMARK(BM_Snapshot)->Unit(benchmark::kMillisecond);

void BM_CompareWithWritten(benchmark::State& st) {
    GameState& s = game();
    const SavedGame written = savedGameSnapshot(s, 0, 1);
    const SavedGame now = savedGameSnapshot(s, 0, 2);
    for (auto _ : st)
        benchmark::DoNotOptimize(samePlay(now, written));
}
BENCHMARK(BM_CompareWithWritten)->Unit(benchmark::kMillisecond);

// A refresh step that is due but finds the play unchanged: snapshot and comparison together.
void BM_RefreshUnchanged(benchmark::State& st) {
    GameState& s = game();
    QTemporaryDir dir;
    FixedClock clock;
    Autosave autosave(s, clock);
    autosave.open(dir.path());
    autosave.startTracking();
    autosave.writeNow();
    autosave.schedule() = AutosaveSchedule(0);
    for (auto _ : st)
        benchmark::DoNotOptimize(autosave.refresh());
}
BENCHMARK(BM_RefreshUnchanged)->Unit(benchmark::kMillisecond);

// The write on its own thread, for scale: the picture and the text file of the game.
void BM_WriteOffTheMainThread(benchmark::State& st) {
    GameState& s = game();
    QTemporaryDir dir;
    const AutosaveStore store(dir.path());
    const SavedGame snapshot = savedGameSnapshot(s, 0, 1234);
    for (auto _ : st)
        benchmark::DoNotOptimize(store.write(snapshot, s.picture, {}));
}
BENCHMARK(BM_WriteOffTheMainThread)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
