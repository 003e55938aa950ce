#pragma once

#include <QImage>
#include <QSize>

#include <memory>
#include <thread>
#include <vector>

// A large picture's pixels made ready before its file is read. Reading a picture file that the
// system's cache holds costs mostly the fresh memory its pixels take, as the system clears every
// page when it is first written: half a second for the 500 MB of a 14,400 x 8,640 picture. While
// the player chooses what to load, the pixels are allocated and written on another thread; the
// reader then only copies the file into them.
class PictureReserve {
public:
    PictureReserve();
    ~PictureReserve();
    PictureReserve(const PictureReserve&) = delete;
    PictureReserve& operator=(const PictureReserve&) = delete;

    // Starts making an image of this size and format ready, giving up one made before unless it
    // has the same size and format. Pictures below `minimumBytes` are read fast enough as they are.
    void prepare(QSize size, QImage::Format format);
    // The image of this size and format, however far it was made ready (the reader writes every
    // pixel), or a null image when none was asked for. Nothing is kept afterwards.
    QImage take(QSize size, QImage::Format format);
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
// The thread given the last picture is waited for when the next is given, and when this goes.
class BackgroundRelease {
public:
    BackgroundRelease() = default;
    ~BackgroundRelease();
    BackgroundRelease(const BackgroundRelease&) = delete;
    BackgroundRelease& operator=(const BackgroundRelease&) = delete;

    // Drops these references to the pictures; small ones at once.
    void release(std::vector<QImage> pictures);

private:
    std::thread thread_;
};
