#include "res/resources.h"

QString bitmapResourcePath(int id) { return QStringLiteral(":/bitmaps/%1.png").arg(id); }
QString waveResourcePath(int id) { return QStringLiteral(":/waves/%1.wav").arg(id); }
QString cursorResourcePath(int id) { return QStringLiteral(":/cursors/%1.png").arg(id); }
QString iconResourcePath(int id) { return QStringLiteral(":/icons/%1.png").arg(id); }

QImage loadBitmapResource(int id) {
    QImage image(bitmapResourcePath(id));
    if (image.isNull())
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}
