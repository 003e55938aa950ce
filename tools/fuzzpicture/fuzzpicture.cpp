// libFuzzer target over the picture loader: any bytes must either load as a picture of one of the
// held formats or be refused with a reason and no picture. What loads is also turned, written and
// read back, so that those paths see odd sizes and colour tables too.

#include "model/picture.h"

#include <QByteArray>
#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

bool samePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    const qsizetype bytes = (qsizetype(a.width()) * a.depth() + 7) / 8;
    for (int y = 0; y < a.height(); ++y) {
        if (a.depth() == 1 && a.width() % 8) {
            // bits past the last pixel are undefined
            const qsizetype whole = a.width() / 8;
            if (std::memcmp(a.constScanLine(y), b.constScanLine(y), whole) != 0)
                return false;
            const uchar mask = uchar(0xFF << (8 - a.width() % 8));
            if ((a.constScanLine(y)[whole] & mask) != (b.constScanLine(y)[whole] & mask))
                return false;
        } else if (std::memcmp(a.constScanLine(y), b.constScanLine(y), bytes) != 0) {
            return false;
        }
    }
    return true;
}

void fail(const char* what) {
    std::fprintf(stderr, "fuzzpicture: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quiet); // the image plugins complain about every broken input
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // fromRawData keeps the input's exact bounds visible to the address sanitizer.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const LoadResult result = loadPictureFromBytes(bytes);
    if (!result.ok()) {
        if (!result.picture.isNull() || result.error == PictureError::None)
            fail("a failure came with a picture or without a reason");
        return 0;
    }
    const QImage& picture = result.picture;
    switch (picture.format()) {
    case QImage::Format_Mono:
    case QImage::Format_Indexed8:
    case QImage::Format_RGB555:
    case QImage::Format_RGB16:
    case QImage::Format_RGB888:
    case QImage::Format_RGB32:
        break;
    default:
        fail("loaded picture in a format a bitmap cannot hold");
    }
    // Keep each input quick: the rest only on small pictures.
    if (qint64(picture.width()) * picture.height() > 256 * 256)
        return 0;

    QImage turned = picture;
    for (int k = 0; k < 4; ++k)
        turned = turnPicture(turned);
    if (!samePixels(turned, picture))
        fail("four turns changed the picture");

    const QByteArray file = encodeBitmapFile(picture);
    const LoadResult back = loadPictureFromBytes(file);
    if (!back.ok() || !samePixels(back.picture, picture))
        fail("the written bitmap does not read back");
    if (encodeBitmapFile(back.picture) != file)
        fail("writing what was read gives another file");

    QImage scaled = picture;
    if (!scalePicture(scaled, 7, 5) || scaled.format() != picture.format())
        fail("stretching failed");
    return 0;
}
