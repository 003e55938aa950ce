#pragma once

#include "model/picturereserve.h"

#include <QImage>

#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <vector>

// The cut picture's reduced copies, for drawing the table zoomed out: level L is the picture
// averaged over squares of 2^L by 2^L pixels (the last odd row or column averaged with itself),
// in 32-bit pixels. Level 0 is the picture itself where it is 32 or 24 bits a pixel, else a
// 32-bit copy of it. Together they hold a third of the picture's pixels (level 0 aside).
//
// They are made on another thread as soon as a picture is given, so that the first zoomed-out
// view finds them ready; a view that asks earlier waits for them. Nothing else is shared with
// that thread: it works on its own reference to the picture, and its results are taken over
// only once it has finished.
class PictureLevels {
public:
    PictureLevels() = default;
    ~PictureLevels();
    PictureLevels(const PictureLevels&) = delete;
    PictureLevels& operator=(const PictureLevels&) = delete;

    // Starts making the levels of this picture; nothing when they are this picture's already. A
    // null picture drops them.
    void setPicture(const QImage& picture);
    // Level `level`, 0 up to levelCount() - 1 (clamped); null when there is no picture.
    const QImage& level(int level);
    int levelCount();
    // Bytes held beyond the picture itself.
    std::int64_t bytes();
    // Waits until the levels are made (tests, benchmarks).
    void wait();
    // The levels are made (or there is no picture): level() will not wait.
    bool ready() const;

    // The level to sample for a view that shows `scale` view pixels per picture pixel: the
    // finest whose pixels are no smaller than a view pixel.
    static int levelFor(double scale);

private:
    struct Build {
        std::atomic<bool> cancelled{false};
        std::future<std::vector<QImage>> result;
    };
    void takeOver();

    qint64 pictureKey_ = 0;
    std::unique_ptr<Build> build_;
    std::vector<QImage> levels_;
    // The levels of the picture before are freed on another thread once the next game has been
    // drawn: unmapping them holds the memory map that game's first drawing needs.
    BackgroundRelease released_{BackgroundRelease::afterNextDrawing};
};
