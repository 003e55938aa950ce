#include "board/background.h"
#include "filebytes.h"
#include "game/playersettings.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

PlayerSettings unusual() {
    PlayerSettings p;
    Settings& s = p.settings;
    s.captureArea = 10;
    s.outlineThickness = 1;
    s.scrollArea = 50;
    s.mouseScrollSpeed = 1;
    s.keyScrollSpeed = 0;
    s.threeD = 1;
    s.scrollEnabled = 0;
    s.showTimer = 0;
    s.exactAssembly = 1;
    s.outlineColor = QColor(1, 2, 3);
    p.bitmapBackground = 0;
    p.backgroundBitmapId = 237;
    p.backgroundColor = QColor(200, 100, 50);
    p.textColor = QColor(255, 255, 255);
    p.pictureFolder = QStringLiteral("/home/игрок/Картинки");
    p.window = QRect(-20, 35, 900, 640);
    p.maximised = true;
    p.leftButtonMovesBlocks = true;
    return p;
}

} // namespace

TEST(PlayerSettings, EveryValueComesBack) {
    QTemporaryDir dir;
    SettingsFile file(dir.filePath(QStringLiteral("config/settings.ini")));
    const PlayerSettings saved = unusual();
    ASSERT_TRUE(file.save(saved));
    PlayerSettings read;
    file.load(read);
    EXPECT_EQ(read, saved);

    // Without the bevel there is no outline, whatever thickness was chosen before.
    PlayerSettings flat = saved;
    flat.settings.threeD = 0;
    flat.settings.outlineThickness = 0;
    flat.settings.keyScrollSpeed = 2147483647;
    flat.window.reset();
    flat.maximised = false;
    ASSERT_TRUE(file.save(flat));
    PlayerSettings readFlat;
    file.load(readFlat);
    EXPECT_EQ(readFlat, flat);
}

TEST(PlayerSettings, NoFileLeavesEverythingAsItIs) {
    QTemporaryDir dir;
    SettingsFile file(dir.filePath(QStringLiteral("settings.ini")));
    PlayerSettings read = unusual();
    file.load(read);
    EXPECT_EQ(read, unusual());
}

// A damaged or hostile file: each value that is missing, of the wrong kind or out of the range
// the settings dialog allows is ignored, the good ones around it are taken.
TEST(PlayerSettings, BadValuesAreIgnoredOneByOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    SettingsFile file(path);
    writeAll(path, "[settings]\n"
                   "captureArea=11\n"
                   "outlineThickness=6\n"
                   "scrollArea=4\n"
                   "mouseScrollSpeed=abc\n"
                   "keyScrollSpeed=-1\n"
                   "threeD=2\n"
                   "scrollEnabled=0\n"
                   "showTimer=1x\n"
                   "exactAssembly=99999999999999999999\n"
                   "outlineColor=red\n"
                   "[background]\n"
                   "texture=0\n"
                   "bitmapId=193\n"
                   "color=#12345\n"
                   "textColor=#GGGGGG\n"
                   "[pictures]\n"
                   "folder=relative/path\n"
                   "[window]\n"
                   "x=10\ny=10\nwidth=50\nheight=400\nmaximised=1\n");
    PlayerSettings read;
    file.load(read);
    PlayerSettings expected;
    expected.settings.scrollEnabled = 0;
    expected.bitmapBackground = 0;
    // A solid background without a text colour of its own gets the one its colour calls for.
    expected.textColor = QColor(255, 255, 255);
    EXPECT_EQ(read, expected);

    // The bevel off takes the outline with it; a thickness without a valid bevel flag is not read.
    writeAll(path, "[settings]\nthreeD=0\noutlineThickness=3\n[background]\nbitmapId=227\n");
    PlayerSettings flat;
    file.load(flat);
    EXPECT_EQ(flat.settings.threeD, 0);
    EXPECT_EQ(flat.settings.outlineThickness, 0);
    EXPECT_EQ(flat.backgroundBitmapId, 227);
    EXPECT_EQ(flat.textColor, QColor(255, 210, 136)) << "the wood's own text colour";

    // Not a settings file of ours at all: too large to read.
    writeAll(path, "[settings]\ncaptureArea=7\n" + QByteArray(SettingsFile::maxFileSize, '#'));
    PlayerSettings large;
    file.load(large);
    EXPECT_EQ(large, PlayerSettings());
}

TEST(PlayerSettings, BackgroundGoesBothWays) {
    BackgroundState shown;
    PlayerSettings p = unusual();
    p.giveBackground(shown);
    EXPECT_EQ(shown.bitmapBackground, 0);
    EXPECT_TRUE(shown.hasBackgroundBrush);
    EXPECT_EQ(shown.backgroundBitmapId, 237);
    EXPECT_FALSE(shown.texture.isNull()) << "the texture is there for the next texture command";
    PlayerSettings back;
    back.takeBackground(shown);
    EXPECT_EQ(back.backgroundColor, p.backgroundColor);
    EXPECT_EQ(back.textColor, p.textColor);
    EXPECT_EQ(back.backgroundBitmapId, 237);
}

TEST(PlayerSettings, AWindowFromALargerScreenStaysInReach) {
    const QRect screen(0, 0, 1024, 768);
    EXPECT_EQ(fitWindow(QRect(170, 128, 682, 512), screen), QRect(170, 128, 682, 512));
    EXPECT_EQ(fitWindow(QRect(1500, 900, 800, 600), screen), QRect(224, 168, 800, 600));
    EXPECT_EQ(fitWindow(QRect(-300, -50, 2560, 1400), screen), screen);
    EXPECT_EQ(fitWindow(QRect(100, 100, 400, 300), QRect(0, 30, 1024, 738)), QRect(100, 100, 400, 300));
    EXPECT_EQ(fitWindow(QRect(100, 0, 400, 300), QRect(0, 30, 1024, 738)), QRect(100, 30, 400, 300));
}
