#include "model/picturereserve.h"

#include <algorithm>
#include <atomic>
#include <cstring>

struct PictureReserve::Job {
    QSize size;
    QImage::Format format = QImage::Format_Invalid;
    QImage image;
    std::atomic<bool> stop = false;
    std::thread thread;

    // Stops the writing where it is: whatever it has not reached is fresh memory again, which
    // the reader pays for as it would have without the reserve.
    void finish() {
        stop = true;
        if (thread.joinable())
            thread.join();
    }
};

PictureReserve::PictureReserve() = default;

PictureReserve::~PictureReserve() {
    release();
}

void PictureReserve::prepare(QSize size, QImage::Format format) {
    if (job_ && job_->size == size && job_->format == format)
        return;
    release();
    if (size.isEmpty() || format == QImage::Format_Invalid)
        return;
    const qint64 bytes =
        qint64(size.width()) * size.height() * QImage::toPixelFormat(format).bitsPerPixel() / 8;
    if (bytes < minimumBytes)
        return;
    auto job = std::make_unique<Job>();
    job->size = size;
    job->format = format;
    // Allocated here, so that a picture the memory cannot hold is known at once; written there.
    job->image = QImage(size, format);
    if (job->image.isNull())
        return;
    uchar* const bits = job->image.bits();
    const qsizetype total = job->image.sizeInBytes();
    Job* const j = job.get();
    job->thread = std::thread([j, bits, total] {
        constexpr qsizetype chunk = 4 << 20;
        for (qsizetype at = 0; at < total && !j->stop.load(std::memory_order_relaxed); at += chunk)
            std::memset(bits + at, 0, static_cast<std::size_t>(std::min(chunk, total - at)));
    });
    job_ = std::move(job);
}

QImage PictureReserve::take(QSize size, QImage::Format format) {
    if (!job_)
        return {};
    job_->finish();
    QImage image;
    if (job_->size == size && job_->format == format)
        image = std::move(job_->image);
    job_.reset();
    return image;
}

void PictureReserve::release() {
    if (!job_)
        return;
    job_->finish();
    job_.reset();
}

QSize PictureReserve::size() const {
    return job_ ? job_->size : QSize();
}

BackgroundRelease::~BackgroundRelease() {
    if (thread_.joinable())
        thread_.join();
}

void BackgroundRelease::release(std::vector<QImage> pictures) {
    std::erase_if(pictures, [](const QImage& p) { return p.sizeInBytes() < PictureReserve::minimumBytes; });
    if (pictures.empty())
        return;
    if (thread_.joinable())
        thread_.join();
    thread_ = std::thread([pictures = std::move(pictures)]() mutable { pictures.clear(); });
}
