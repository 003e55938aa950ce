// The floating picture window's painting for a large picture (4000 x 3000, as a big photo is
// loaded at its own size): a repaint at an unchanged size (a plain copy of the kept scaled
// picture), a new size while the player drags the border (scaled from the reduced working
// copy), and, for comparison, the one-time reduction of the new picture and what scaling the
// full picture on every paint would cost.

#include "game/previewimagecache.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

const QSize screen(1024, 768);
const QSize window(341, 255);

QImage bigPicture() {
    static const QImage picture = [] {
        QImage image(4000, 3000, QImage::Format_RGB888);
        QPainter p(&image);
        QLinearGradient g(0, 0, 4000, 3000);
        g.setColorAt(0, Qt::darkBlue);
        g.setColorAt(1, Qt::yellow);
        p.fillRect(image.rect(), g);
        return image;
    }();
    return picture;
}

void paintInto(QImage& target, const QImage& scaled) {
    QPainter p(&target);
    p.drawImage(0, 0, scaled);
}

void BM_RepaintSameSize(benchmark::State& state) {
    PreviewImageCache cache(screen);
    const QImage picture = bigPicture();
    QImage target(window, QImage::Format_RGB32);
    cache.scaled(picture, window);
    for (auto _ : state)
        paintInto(target, cache.scaled(picture, window));
}
BENCHMARK(BM_RepaintSameSize)->Unit(benchmark::kMicrosecond);

void BM_RepaintWhileResizing(benchmark::State& state) {
    PreviewImageCache cache(screen);
    const QImage picture = bigPicture();
    QImage target(QSize(600, 500), QImage::Format_RGB32);
    cache.scaled(picture, window);
    int step = 0;
    for (auto _ : state) {
        const QSize size(300 + step % 200, 220 + step % 150);
        ++step;
        paintInto(target, cache.scaled(picture, size));
    }
}
BENCHMARK(BM_RepaintWhileResizing)->Unit(benchmark::kMicrosecond);

void BM_NewPictureFirstPaint(benchmark::State& state) {
    const QImage picture = bigPicture();
    for (auto _ : state) {
        PreviewImageCache cache(screen);
        benchmark::DoNotOptimize(cache.scaled(picture, window).constBits());
    }
}
BENCHMARK(BM_NewPictureFirstPaint)->Unit(benchmark::kMillisecond);

void BM_ScalingTheFullPictureEachPaint(benchmark::State& state) {
    const QImage picture = bigPicture();
    for (auto _ : state) {
        const QImage scaled = picture.scaled(window, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(scaled.constBits());
    }
}
BENCHMARK(BM_ScalingTheFullPictureEachPaint)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
