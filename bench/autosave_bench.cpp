// What the background autosave costs the main thread, at 10,000 elements (100 x 100 at element
// size 32, a third of them in blocks of ten) and at 54,000, the largest printed jigsaw (180 x 300
// at element size 48, built without element bitmaps, every other row in blocks of ten): the
// snapshot of the play, the comparison with what was last written, a whole refresh step that
// finds nothing changed, and one that finds a change and hands the write to its thread. The
// writes themselves run on another thread; their time and bytes are shown for scale: the state
// alone, as every periodic write makes it, and the first write of a game with its picture. A
// frame at 60 Hz is 16.7 ms.

#include "bench/benchsupport.h"
#include "game/autosave.h"
#include "game/gamestate.h"
#include "game/savedgame.h"
#include "model/generator.h"
#include "model/randomtables.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

std::unique_ptr<GameState> smallGame() {
    constexpr int kRows = 100, kColumns = 100, kSize = 32;
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
    Puzzle& p = s->puzzle;
    for (int i = 0; i + 10 < p.count(); i += 30)
        for (int k = 1; k < 10; ++k)
            p.blocks.merge(i, i + k);
    return s;
}

std::unique_ptr<GameState> bigGame() {
    constexpr int kRows = 180, kColumns = 300, kSize = 48;
    auto s = std::make_unique<GameState>();
    s->screenWidth = 1024;
    s->screenHeight = 768;
    bitmapFreeGame(*s, kRows, kColumns, kSize);
    s->picture = QImage(kColumns * kSize, kRows * kSize, QImage::Format_RGB888);
    s->picture.fill(QColor(120, 160, 200));
    return s;
}

// The game of the benchmark's count, made once.
GameState& game(const benchmark::State& st) {
    static std::map<std::int64_t, std::unique_ptr<GameState>> games;
    auto& g = games[st.range(0)];
    if (!g) {
        g = st.range(0) > 10000 ? bigGame() : smallGame();
        g->flags.pictureLoaded = g->flags.cutDone = 1;
    }
    return *g;
}

void label(benchmark::State& st, const GameState& s) {
    st.SetLabel(std::to_string(s.puzzle.count()) + " elements");
}

void BM_Snapshot(benchmark::State& st) {
    GameState& s = game(st);
    for (auto _ : st)
        benchmark::DoNotOptimize(savedGameSnapshot(s, 0, 1234));
    label(st, s);
}

void BM_CompareWithWritten(benchmark::State& st) {
    GameState& s = game(st);
    const SavedGame written = savedGameSnapshot(s, 0, 1);
    const SavedGame now = savedGameSnapshot(s, 0, 2);
    for (auto _ : st)
        benchmark::DoNotOptimize(samePlay(now, written));
    label(st, s);
}

// Counts the bytes each write puts on the disk.
struct ByteCount {
    qint64 bytes = 0;
    DurableFiles::Hook hook() {
        return [this](DurableFiles::Step step, const QString&, qint64 size) {
            bytes += step == DurableFiles::Step::Write ? size : 0;
            return DurableFiles::Outcome::Go;
        };
    }
};

// The autosave follows the game, written once, and every refresh step is due.
void followWithoutWaiting(Autosave& autosave, const QString& folder) {
    autosave.open(folder);
    autosave.startTracking();
    autosave.writeNow();
    autosave.schedule() = AutosaveSchedule(0);
}

// A refresh step that is due but finds the play unchanged: snapshot and comparison together.
void BM_RefreshUnchanged(benchmark::State& st) {
    GameState& s = game(st);
    QTemporaryDir dir;
    FixedClock clock;
    Autosave autosave(s, clock);
    followWithoutWaiting(autosave, dir.path());
    for (auto _ : st)
        benchmark::DoNotOptimize(autosave.refresh());
    label(st, s);
}

// A refresh step that finds an element turned: the main thread's part (snapshot, comparison,
// handing the write over) is timed, the write on its thread is waited for outside the timing.
// The bytes are those of each periodic write: the state alone, the picture written once before.
void BM_RefreshChanged(benchmark::State& st) {
    GameState& s = game(st);
    QTemporaryDir dir;
    FixedClock clock;
    Autosave autosave(s, clock);
    followWithoutWaiting(autosave, dir.path());
    ByteCount count;
    autosave.store().setStepHook(count.hook());
    int turns = 0;
    for (auto _ : st) {
        st.PauseTiming();
        Element& e = s.puzzle.element(s.puzzle.count() / 2);
        e.orientation = (e.orientation + 2) % 4;
        ++turns;
        st.ResumeTiming();
        if (!autosave.refresh())
            st.SkipWithError("no write started");
        st.PauseTiming();
        autosave.waitForWrite();
        st.ResumeTiming();
    }
    st.counters["MB per write"] = double(count.bytes) / turns / 1e6;
    label(st, s);
}

// The writes on their own thread, for scale: a periodic one (the state, naming the picture
// written before) and the first of a game (its picture as well).
void writeOffTheMainThread(benchmark::State& st, bool firstOfTheGame) {
    GameState& s = game(st);
    QTemporaryDir dir;
    AutosaveStore store(dir.path());
    const SavedGame snapshot = savedGameSnapshot(s, 0, 1234);
    const auto picture = firstOfTheGame ? std::nullopt : store.write(snapshot, s.picture, {});
    ByteCount count;
    store.setStepHook(count.hook());
    int writes = 0;
    for (auto _ : st) {
        benchmark::DoNotOptimize(store.write(snapshot, s.picture, {}, picture));
        ++writes;
    }
    st.counters["MB per write"] = double(count.bytes) / writes / 1e6;
    label(st, s);
}

void BM_WriteStateOffTheMainThread(benchmark::State& st) {
    writeOffTheMainThread(st, false);
}

void BM_FirstWriteOffTheMainThread(benchmark::State& st) {
    writeOffTheMainThread(st, true);
}

BENCHMARK(BM_Snapshot)->Unit(benchmark::kMillisecond)->Arg(10000)->Arg(54000);
BENCHMARK(BM_CompareWithWritten)->Unit(benchmark::kMillisecond)->Arg(10000)->Arg(54000);
BENCHMARK(BM_RefreshUnchanged)->Unit(benchmark::kMillisecond)->Arg(10000)->Arg(54000);
BENCHMARK(BM_RefreshChanged)->Unit(benchmark::kMillisecond)->Arg(10000)->Arg(54000)->Iterations(10);
BENCHMARK(BM_WriteStateOffTheMainThread)
    ->Unit(benchmark::kMillisecond)
    ->Arg(10000)
    ->Arg(54000)
    ->Iterations(5);
BENCHMARK(BM_FirstWriteOffTheMainThread)
    ->Unit(benchmark::kMillisecond)
    ->Arg(10000)
    ->Arg(54000)
    ->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
