// libFuzzer target over the saved-game reader; the checks are in savedgameentry.h.

#include "tools/fuzzsavedgame/savedgameentry.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // fromRawData keeps the input's exact bounds visible to the address sanitizer.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const char* problem = fuzzsavedgame::checkInput(bytes)) {
        std::fprintf(stderr, "fuzzsavedgame: %s\n", problem);
        std::abort();
    }
    return 0;
}
