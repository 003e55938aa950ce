// Speed of the picture core on a 4096 x 4096 24-bit picture: three quarter turns (what the
// picture-turning worker does) against copying the same bytes with memcpy, loading a bitmap file
// and stretching to a cut size. Prints the turn-to-memcpy ratio after the table.

#include "model/picture.h"

#include <QByteArray>
#include <QImage>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int side = 4096;

const QImage& picture24() {
    static const QImage picture = [] {
        QImage p(side, side, QImage::Format_RGB888);
        std::uint32_t state = 12345;
        for (int y = 0; y < side; ++y) {
            uchar* row = p.scanLine(y);
            for (int x = 0; x < 3 * side; ++x) {
                state = state * 1664525u + 1013904223u;
                row[x] = uchar((x / 3 + y) / 32 + (state >> 29)); // gradient with a little noise
            }
        }
        return p;
    }();
    return picture;
}

const QByteArray& bitmapFile24() {
    static const QByteArray file = encodeBitmapFile(picture24());
    return file;
}

qsizetype pictureBytes() {
    return picture24().sizeInBytes();
}

void BM_MemcpyThreePictures(benchmark::State& state) {
    const QImage& source = picture24();
    std::vector<uchar> targets[3];
    for (auto& t : targets)
        t.assign(pictureBytes(), 1); // touched once, as a warm buffer
    for (auto _ : state) {
        std::memcpy(targets[0].data(), source.constBits(), pictureBytes());
        std::memcpy(targets[1].data(), targets[0].data(), pictureBytes());
        std::memcpy(targets[2].data(), targets[1].data(), pictureBytes());
        benchmark::DoNotOptimize(targets[2].data());
    }
    state.SetBytesProcessed(state.iterations() * 3 * pictureBytes());
}

// The same copies into new pictures, which pay for their fresh pages as the turns do.
void BM_MemcpyThreeNewPictures(benchmark::State& state) {
    const QImage& source = picture24();
    for (auto _ : state) {
        QImage a(side, side, QImage::Format_RGB888);
        std::memcpy(a.bits(), source.constBits(), pictureBytes());
        QImage b(side, side, QImage::Format_RGB888);
        std::memcpy(b.bits(), a.constBits(), pictureBytes());
        QImage c(side, side, QImage::Format_RGB888);
        std::memcpy(c.bits(), b.constBits(), pictureBytes());
        benchmark::DoNotOptimize(c.constBits());
    }
    state.SetBytesProcessed(state.iterations() * 3 * pictureBytes());
}

// What the picture-turning worker does for a new game: three new pictures.
void BM_TurnThreeTimes(benchmark::State& state) {
    for (auto _ : state) {
        std::array<QImage, 4> turned;
        turned[0] = picture24();
        if (!buildTurnedPictures(turned))
            state.SkipWithError("turn failed");
        benchmark::DoNotOptimize(turned[3].constBits());
    }
    state.SetBytesProcessed(state.iterations() * 3 * pictureBytes());
}

// The turning work alone: the three pictures of the previous round are written again.
void BM_TurnThreeTimesReusing(benchmark::State& state) {
    std::array<QImage, 4> turned;
    turned[0] = picture24();
    buildTurnedPictures(turned);
    for (auto _ : state) {
        if (!buildTurnedPictures(turned))
            state.SkipWithError("turn failed");
        benchmark::DoNotOptimize(turned[3].constBits());
    }
    state.SetBytesProcessed(state.iterations() * 3 * pictureBytes());
}

// Other depths, one turn each, for comparison.
void BM_TurnOnce(benchmark::State& state) {
    const QImage source = picture24().convertToFormat(QImage::Format(state.range(0)));
    QImage target;
    turnPictureInto(source, target);
    for (auto _ : state) {
        turnPictureInto(source, target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetBytesProcessed(state.iterations() * source.sizeInBytes());
}

void BM_LoadBitmap24(benchmark::State& state) {
    const QByteArray& file = bitmapFile24();
    for (auto _ : state) {
        const LoadResult r = loadPictureFromBytes(file);
        if (!r.ok())
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(r.picture.constBits());
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}

void BM_WriteBitmap24(benchmark::State& state) {
    for (auto _ : state) {
        const QByteArray file = encodeBitmapFile(picture24());
        benchmark::DoNotOptimize(file.constData());
    }
    state.SetBytesProcessed(state.iterations() * pictureBytes());
}

// Stretching to a cut size: shrinking to 50 x 64-pixel elements, and widening slightly.
void BM_Scale24(benchmark::State& state) {
    const int target = int(state.range(0));
    for (auto _ : state) {
        QImage p = picture24();
        if (!scalePicture(p, target, target))
            state.SkipWithError("scale failed");
        benchmark::DoNotOptimize(p.constBits());
    }
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                realTimes[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> realTimes;
};

} // namespace

BENCHMARK(BM_MemcpyThreePictures)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MemcpyThreeNewPictures)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TurnThreeTimes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TurnThreeTimesReusing)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TurnOnce)
    ->Arg(QImage::Format_Indexed8)
    ->Arg(QImage::Format_RGB16)
    ->Arg(QImage::Format_RGB888)
    ->Arg(QImage::Format_RGB32)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_LoadBitmap24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteBitmap24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Scale24)->Arg(3200)->Arg(4160)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    picture24(); // built before timing starts
    bitmapFile24();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto& t = reporter.realTimes;
    auto ratio = [&](const char* what, const char* turnName, const char* copyName) {
        const auto turn = t.find(std::string(turnName) + "/real_time");
        const auto copy = t.find(std::string(copyName) + "/real_time");
        if (turn != t.end() && copy != t.end() && copy->second > 0)
            std::printf(
                "three turns of %dx%d 24-bit %s: %.1f ms = %.2f x memcpy of the same bytes (%.1f ms)\n", side,
                side, what, turn->second, turn->second / copy->second, copy->second);
    };
    ratio("into new pictures", "BM_TurnThreeTimes", "BM_MemcpyThreeNewPictures");
    ratio("into new pictures", "BM_TurnThreeTimes", "BM_MemcpyThreePictures");
    ratio("into existing pictures", "BM_TurnThreeTimesReusing", "BM_MemcpyThreePictures");
    benchmark::Shutdown();
    return 0;
}
