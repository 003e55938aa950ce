#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv) {
    // The core draws on images with fonts, so it needs a GUI application but no widgets and,
    // for discovery and CI, no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
