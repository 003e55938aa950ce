#include "model/regioncopy.h"

#include <QImage>
#include <QRegion>

#include <cstring>

bool copyRegion(QImage& destination, const QRegion& region, const QImage& source, QPoint sourceOffset) {
    if (destination.format() != QImage::Format_RGB32 || source.isNull())
        return false;
    const QRect sourceArea = source.rect().translated(-sourceOffset);
    // Regions usually lie inside both images already; intersecting would only copy them.
    const QRect bounds = region.boundingRect();
    const QRegion area = destination.rect().contains(bounds) && sourceArea.contains(bounds)
                             ? region
                             : region.intersected(destination.rect()).intersected(sourceArea);
    if (area.isEmpty())
        return true;
    if (source.format() != QImage::Format_RGB32) {
        // Convert only what is needed, once; the copy below then runs on plain 32-bit rows.
        const QRect needed = area.boundingRect().translated(sourceOffset);
        const QImage part = source.copy(needed).convertToFormat(QImage::Format_RGB32);
        if (part.isNull())
            return false;
        return copyRegion(destination, area, part, sourceOffset - needed.topLeft());
    }
    uchar* const target = destination.bits(); // detaches once, before the row loop
    if (!target)
        return false;
    const qsizetype targetStride = destination.bytesPerLine();
    const uchar* const from = source.constBits();
    const qsizetype fromStride = source.bytesPerLine();
    for (const QRect& r : area) {
        const std::size_t bytes = static_cast<std::size_t>(r.width()) * 4;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            std::memcpy(target + y * targetStride + r.left() * 4,
                        from + (y + sourceOffset.y()) * fromStride + (r.left() + sourceOffset.x()) * 4,
                        bytes);
        }
    }
    return true;
}
