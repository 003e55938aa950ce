#pragma once

#include "model/durablefile.h"
#include "model/fingerprint.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Pixels handed to a bitmap file's reader: an image of the file's size and format, and how much
// of the file was read into it ahead.
struct ReadyPixels {
    QImage image;                         // null: none made ready
    std::vector<std::uint8_t> chunksRead; // per chunk of the file's rows (readBitmapAhead): in place
    bool wholeFile = false;               // every byte was read: `fingerprint` is the whole file's
    Fingerprint fingerprint;
};

// A large picture's pixels made ready before its file is read. Reading a picture file that the
// system's cache holds costs mostly the fresh memory its pixels take, as the system clears every
// page when it is first written: half a second for the 500 MB of a 14,400 x 8,640 picture. While
// the player chooses what to load, the pixels are allocated and written on another thread; the
// reader then only copies the file into them. Given the file itself, the thread reads it into
// them there and then: a choice made after that costs no reading at all, unless the file changed.
class PictureReserve {
public:
    PictureReserve();
    ~PictureReserve();
    PictureReserve(const PictureReserve&) = delete;
    PictureReserve& operator=(const PictureReserve&) = delete;

    // Starts making an image of this size and format ready, giving up one made before unless it
    // has the same size and format. Pictures below `minimumBytes` are read fast enough as they are.
    void prepare(QSize size, QImage::Format format);
    // The same for the pixels of an uncompressed bitmap file, and its rows read into them in the
    // file's order (its fingerprint taken on the way); the image is kept for another file of its
    // size and format. Anything else (no such file, another kind, a small one) gives up the reserve.
    void prepareFile(const QString& path);
    // Whatever was made ready, however far (the reader writes every pixel not read ahead): its
    // rows count only when `file` is the identity of the file they were read from, unchanged.
    // Nothing is kept.
    ReadyPixels take(const std::optional<FileIdentity>& file);
    // Gives up whatever was made ready.
    void release();
    // The size and format being made ready; an empty size when none.
    QSize size() const;

    static constexpr qint64 minimumBytes = 32ll << 20;

private:
    struct Job;
    std::unique_ptr<Job> job_;
};

// Gives a large picture's memory back to the system on another thread: unmapping half a gigabyte
// takes a tenth of a second that the player would otherwise wait for when a game is replaced.
// So do the tens of thousands of regions of a large game's elements. The giving back may wait a
// moment first: a game just replaced is followed at once by the next one's first drawing, which
// needs both cores and the memory map to itself. The thread given the last of them is hurried
// and waited for when the next are given, and when this goes.
class BackgroundRelease {
public:
    // The wait of what a replaced game gives back: the next game's first drawing comes within a
    // tenth of a second.
    static constexpr std::chrono::milliseconds afterNextDrawing{200};

    explicit BackgroundRelease(std::chrono::milliseconds delay = {}) : delay_(delay) {}
    ~BackgroundRelease();
    BackgroundRelease(const BackgroundRelease&) = delete;
    BackgroundRelease& operator=(const BackgroundRelease&) = delete;

    // Drops these references to the pictures and to `rest` (small pictures alone at once).
    void release(std::vector<QImage> pictures, std::shared_ptr<void> rest = {});

private:
    void finish();

    std::chrono::milliseconds delay_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool hurry_ = false;
};
