// libFuzzer target over the picture loader; the checks are in pictureentry.h.

#include "tools/fuzzpicture/pictureentry.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

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
    if (const char* problem = fuzzpicture::checkInput(bytes)) {
        std::fprintf(stderr, "fuzzpicture: %s\n", problem);
        std::abort();
    }
    return 0;
}
