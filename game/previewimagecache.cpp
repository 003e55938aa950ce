#include "game/previewimagecache.h"

const QImage& PreviewImageCache::scaled(const QImage& picture, QSize size) {
    if (picture.isNull() || size.isEmpty()) {
        static const QImage none;
        return none;
    }
    // The key changes whenever the picture is replaced or its pixels are written.
    if (picture.cacheKey() != pictureKey_) {
        pictureKey_ = picture.cacheKey();
        const bool large = limit_.isValid() && !limit_.isEmpty() &&
                           (picture.width() > limit_.width() || picture.height() > limit_.height());
        // Reduce to fit the limit while keeping the proportions; the final stretch gives the
        // window's proportions.
        working_ = large ? picture.scaled(limit_, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                               .convertToFormat(QImage::Format_RGB32)
                         : picture.convertToFormat(QImage::Format_RGB32);
        scaled_ = QImage();
    }
    if (scaled_.size() != size) {
        scaled_ = working_.size() == size
                      ? working_
                      : working_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGB32);
        ++scalings_;
    }
    return scaled_;
}
