#include "game/savedgamesummary.h"

#include "model/bmpreader.h"
#include "model/durablefile.h"
#include "model/picture.h"

#include <QFile>
#include <QFileInfo>

namespace {

// A run-length picture has to be read whole; one of this size is still read quickly.
constexpr qint64 kWholeReadBytes = qint64(8) << 20;

// Opens a regular file for reading without a buffer of its own: the readers seek.
bool openRegular(QFile& file) {
    return openRegularFile(file, QIODevice::Unbuffered);
}

BitmapThumbnail readPicture(const QString& path, QSize box) {
    QFile file(path);
    if (!openRegular(file))
        return {QImage(), QSize(), PictureError::Truncated};
    BitmapThumbnail thumbnail = readBitmapThumbnail(file, box);
    if (thumbnail.error != PictureError::Unsupported || file.size() > kWholeReadBytes)
        return thumbnail;
    if (!file.seek(0))
        return thumbnail;
    const LoadResult whole = readBitmapFile(file.readAll());
    if (!whole.ok())
        return {QImage(), QSize(), whole.error};
    thumbnail.size = whole.picture.size();
    thumbnail.image =
        whole.picture.scaled(box.boundedTo(thumbnail.size), Qt::KeepAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    thumbnail.error = PictureError::None;
    return thumbnail;
}

} // namespace

SavedGameSummary readSavedGameSummary(const QString& picturePath, const QString& gamePath, QSize pictureBox) {
    SavedGameSummary summary;
    QFile text(gamePath);
    if (!openRegular(text) || text.size() > SavedGameLimits::maxFileSize)
        return summary;
    if (readSavedGameOverview(text, summary.game) != SavedGameError::None)
        return summary;
    const BitmapThumbnail picture = readPicture(picturePath, pictureBox);
    // The picture must be the one the game was cut from, as loading checks.
    const SavedGameOverview& g = summary.game;
    if (!picture.ok() || qint64(picture.size.width()) != qint64(g.columns) * g.elementSize ||
        qint64(picture.size.height()) != qint64(g.rows) * g.elementSize)
        return summary;
    summary.picture = picture.image;
    summary.savedAt = QFileInfo(gamePath).lastModified();
    summary.ok = true;
    return summary;
}
