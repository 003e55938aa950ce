#include "model/picturelevels.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

// A line of a level-0 picture as 32-bit pixels.
template <int Bytes> inline quint32 pixelAt(const uchar* line, int x) {
    if constexpr (Bytes == 4) {
        return reinterpret_cast<const quint32*>(line)[x];
    } else {
        const uchar* p = line + 3 * x;
        return 0xff000000u | quint32(p[0]) << 16 | quint32(p[1]) << 8 | p[2];
    }
}

inline quint32 average4(quint32 a, quint32 b, quint32 c, quint32 d) {
    const quint32 rb =
        ((a & 0xff00ffu) + (b & 0xff00ffu) + (c & 0xff00ffu) + (d & 0xff00ffu) + 0x20002u) >> 2;
    const quint32 g = ((a & 0xff00u) + (b & 0xff00u) + (c & 0xff00u) + (d & 0xff00u) + 0x200u) >> 2;
    return 0xff000000u | (rb & 0xff00ffu) | (g & 0xff00u);
}

// The next level: each pixel the average of the two by two it stands for; an odd last row or
// column is averaged with itself.
template <int Bytes> QImage halve(const QImage& from, const std::atomic<bool>& cancelled) {
    const int w = from.width(), h = from.height();
    const int toWidth = (w + 1) / 2, toHeight = (h + 1) / 2;
    QImage to(toWidth, toHeight, QImage::Format_RGB32);
    if (to.isNull())
        return {};
    // The rows are found by their stride: the image's own accessors cost a call a pixel here.
    const uchar* const fromBits = from.constBits();
    uchar* const toBits = to.bits();
    const qsizetype fromStride = from.bytesPerLine(), toStride = to.bytesPerLine();
    for (int y = 0; y < toHeight && !cancelled.load(std::memory_order_relaxed); ++y) {
        const uchar* row0 = fromBits + 2 * y * fromStride;
        const uchar* row1 = fromBits + std::min(2 * y + 1, h - 1) * fromStride;
        auto* out = reinterpret_cast<quint32*>(toBits + y * toStride);
        for (int x = 0; x < toWidth; ++x) {
            const int x0 = 2 * x, x1 = std::min(2 * x + 1, w - 1);
            out[x] = average4(pixelAt<Bytes>(row0, x0), pixelAt<Bytes>(row0, x1), pixelAt<Bytes>(row1, x0),
                              pixelAt<Bytes>(row1, x1));
        }
    }
    return to;
}

std::vector<QImage> makeLevels(QImage picture, const std::atomic<bool>& cancelled) {
    std::vector<QImage> levels;
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_RGB888)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    if (picture.isNull())
        return levels;
    levels.push_back(picture);
    while ((levels.back().width() > 1 || levels.back().height() > 1) && !cancelled.load()) {
        const QImage& from = levels.back();
        QImage next =
            from.format() == QImage::Format_RGB888 ? halve<3>(from, cancelled) : halve<4>(from, cancelled);
        if (next.isNull())
            break;
        levels.push_back(std::move(next));
    }
    return levels;
}

} // namespace

PictureLevels::~PictureLevels() {
    if (build_) {
        build_->cancelled = true;
        build_->result.wait();
    }
}

void PictureLevels::setPicture(const QImage& picture) {
    if (!picture.isNull() && picture.cacheKey() == pictureKey_)
        return;
    if (build_) {
        build_->cancelled = true;
        build_->result.wait();
        build_.reset();
    }
    // The old levels are freed on another thread: level 0 may be the last hold on the old
    // picture, and giving back half a gigabyte would hold up the game taking its place.
    if (!levels_.empty())
        released_.release(std::move(levels_));
    levels_.clear();
    pictureKey_ = picture.cacheKey();
    if (picture.isNull()) {
        pictureKey_ = 0;
        return;
    }
    build_ = std::make_unique<Build>();
    const std::atomic<bool>& cancelled = build_->cancelled;
    build_->result =
        std::async(std::launch::async, [picture, &cancelled] { return makeLevels(picture, cancelled); });
}

void PictureLevels::takeOver() {
    if (!build_)
        return;
    levels_ = build_->result.get();
    build_.reset();
}

void PictureLevels::wait() {
    takeOver();
}

bool PictureLevels::ready() const {
    return !build_ || build_->result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

const QImage& PictureLevels::level(int level) {
    takeOver();
    static const QImage none;
    if (levels_.empty())
        return none;
    return levels_[std::clamp(level, 0, static_cast<int>(levels_.size()) - 1)];
}

int PictureLevels::levelCount() {
    takeOver();
    return static_cast<int>(levels_.size());
}

std::int64_t PictureLevels::bytes() {
    takeOver();
    std::int64_t total = 0;
    for (std::size_t k = 1; k < levels_.size(); ++k)
        total += levels_[k].sizeInBytes();
    if (!levels_.empty() && levels_[0].cacheKey() != pictureKey_)
        total += levels_[0].sizeInBytes();
    return total;
}

int PictureLevels::levelFor(double scale) {
    if (!(scale > 0) || scale >= 1.0)
        return 0;
    return static_cast<int>(std::floor(std::log2(1.0 / scale) + 1e-9));
}
