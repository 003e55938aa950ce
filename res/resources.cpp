#include "res/resources.h"

#include <QFile>

QString bitmapResourcePath(int id) {
    return QStringLiteral(":/bitmaps/%1.png").arg(id);
}
QString waveResourcePath(int id) {
    return QStringLiteral(":/waves/%1.wav").arg(id);
}
QString cursorResourcePath(int id) {
    return QStringLiteral(":/cursors/%1.png").arg(id);
}
QString iconResourcePath(int id) {
    return QStringLiteral(":/icons/%1.png").arg(id);
}

QImage loadBitmapResource(int id) {
    QImage image(bitmapResourcePath(id));
    if (image.isNull())
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage loadBitmapResource(int id, double ratio) {
    if (ratio > 1.0) {
        QImage finer(QStringLiteral(":/bitmaps/%1@2x.png").arg(id));
        if (!finer.isNull()) {
            finer = finer.convertToFormat(QImage::Format_RGB32);
            finer.setDevicePixelRatio(2.0);
            return finer;
        }
    }
    return loadBitmapResource(id);
}

QPixmap cursorPixmap(int id, double ratio) {
    if (ratio > 1.0) {
        QPixmap finer(QStringLiteral(":/cursors/%1@2x.png").arg(id));
        if (!finer.isNull()) {
            finer.setDevicePixelRatio(2.0);
            return finer;
        }
    }
    return QPixmap(cursorResourcePath(id));
}

QPoint cursorHotSpot(int id) {
    QFile file(QStringLiteral(":/cursors/%1.txt").arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> parts = file.read(64).simplified().split(' ');
    if (parts.size() != 2)
        return {};
    bool okX = false, okY = false;
    const int x = parts[0].toInt(&okX), y = parts[1].toInt(&okY);
    // A cursor image is 32 x 32; anything else is not a hot spot.
    if (!okX || !okY || x < 0 || y < 0 || x >= 32 || y >= 32)
        return {};
    return {x, y};
}
