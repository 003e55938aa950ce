#include "model/picturereserve.h"

#include "model/bmpreader.h"
#include "model/durablefile.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

struct PictureReserve::Job {
    QSize size;
    QImage::Format format = QImage::Format_Invalid;
    QImage image;
    std::atomic<bool> stop = false;
    std::thread thread;
    // Read ahead from a file: the file, what its rows came from, how far it went.
    QString path;
    std::optional<FileIdentity> identity;
    std::vector<std::uint8_t> chunksRead;
    bool wholeFile = false;
    Fingerprint fingerprint;

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

void PictureReserve::prepareFile(const QString& path) {
    QFile file(path);
    std::optional<BitmapLayout> layout;
    std::optional<FileIdentity> identity;
    if (openRegularFile(file)) {
        layout = readBitmapLayout(file);
        identity = fileIdentity(file.handle());
    }
    const int bits = layout ? QImage::toPixelFormat(layout->format).bitsPerPixel() : 0;
    // Pixels of a colour table are never made ready (see readBitmapAhead).
    if (!identity || bits <= 8 ||
        qint64(layout->size.width()) * layout->size.height() * bits / 8 < minimumBytes) {
        release();
        return;
    }
    if (job_ && job_->path == path && job_->identity == identity)
        return; // on it already, or done
    // Pixels of the same size and format are read into again, whatever another file left there.
    QImage image;
    if (job_ && job_->size == layout->size && job_->format == layout->format) {
        job_->finish();
        image = std::move(job_->image);
    }
    release();
    if (image.isNull())
        image = QImage(layout->size, layout->format);
    // Its own descriptor, as the thread outlives this function's file.
    const int fd = image.isNull() ? -1 : ::dup(file.handle());
    if (fd < 0)
        return;
    auto job = std::make_unique<Job>();
    job->size = layout->size;
    job->format = layout->format;
    job->image = std::move(image);
    job->path = path;
    job->identity = identity;
    Job* const j = job.get();
    job->thread = std::thread([j, fd] {
        j->wholeFile = readBitmapAhead(fd, j->image, j->stop, j->chunksRead, j->fingerprint);
        ::close(fd);
    });
    job_ = std::move(job);
}

ReadyPixels PictureReserve::take(const std::optional<FileIdentity>& file) {
    ReadyPixels ready;
    if (!job_)
        return ready;
    job_->finish();
    ready.image = std::move(job_->image);
    // Rows read from another file, or from this one before it changed, are pixels to write over.
    if (job_->identity && job_->identity == file) {
        ready.chunksRead = std::move(job_->chunksRead);
        ready.wholeFile = job_->wholeFile;
        ready.fingerprint = job_->fingerprint;
    }
    job_.reset();
    return ready;
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

namespace {

// Hands a picture's pages back a few megabytes at a time before it is freed: unmapping half a
// gigabyte at once holds the process's memory map for a tenth of a second, and the player's
// thread, building the next game in fresh memory, would wait on it at every new page.
void giveBack(const QImage& picture) {
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(picture.constBits());
    const std::uintptr_t first = (start + page - 1) / page * page;
    const std::uintptr_t end = (start + static_cast<std::uintptr_t>(picture.sizeInBytes())) / page * page;
    constexpr std::uintptr_t piece = 8u << 20;
    for (std::uintptr_t at = first; at < end; at += piece)
        ::madvise(reinterpret_cast<void*>(at), std::min(piece, end - at), MADV_DONTNEED);
}

} // namespace

BackgroundRelease::~BackgroundRelease() {
    finish();
}

void BackgroundRelease::finish() {
    if (!thread_.joinable())
        return;
    {
        const std::lock_guard lock(mutex_);
        hurry_ = true;
    }
    wake_.notify_one();
    thread_.join();
    hurry_ = false;
}

void BackgroundRelease::release(std::vector<QImage> pictures, std::shared_ptr<void> rest) {
    const auto large = [](const QImage& p) { return p.sizeInBytes() >= PictureReserve::minimumBytes; };
    // Small pictures alone go at once; beside a large one they go with it.
    if (!rest && std::none_of(pictures.begin(), pictures.end(), large))
        return;
    finish();
    thread_ = std::thread([this, large, pictures = std::move(pictures), rest = std::move(rest)]() mutable {
        if (delay_.count() > 0) {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, delay_, [this] { return hurry_; });
        }
        for (QImage& picture : pictures)
            if (large(picture) && picture.isDetached())
                giveBack(picture);
        pictures.clear();
        rest.reset();
    });
}
