#include "board/background.h"
#include "game/backgroundchoice.h"
#include "game/displaychange.h"
#include "game/gamestate.h"
#include "game/menuletters.h"
#include "res/resources.h"

#include <gtest/gtest.h>

namespace {

TEST(BackgroundChoiceTest, EachTextureCarriesItsTextColourAndLoadsItsBitmap) {
    const QColor light(255, 210, 136), dark(80, 16, 0), oak(255, 220, 156);
    const std::pair<int, QColor> expected[] = {{32810, light}, {32811, light}, {32812, dark}, {32813, dark},
                                               {32814, dark},  {32815, dark},  {32816, oak},  {32817, oak},
                                               {32818, dark},  {32819, dark}};
    for (const auto& [command, colour] : expected) {
        const BackgroundTexture* t = backgroundTextureFor(command);
        ASSERT_NE(t, nullptr) << command;
        BackgroundState b;
        b.bitmapBackground = 0;
        chooseTexture(b, *t);
        EXPECT_EQ(b.textColor, colour) << command;
        EXPECT_EQ(b.bitmapBackground, 1);
        EXPECT_EQ(b.backgroundBitmapId, t->bitmapId);
        EXPECT_EQ(b.texture.size(), QSize(160, 120)) << command;
        EXPECT_EQ(loadBitmapResource(t->swatchId).size(), QSize(160, 40)) << command;
    }
    EXPECT_EQ(backgroundTextureFor(32820), nullptr);
    EXPECT_EQ(backgroundTextureFor(32809), nullptr);
}

TEST(BackgroundChoiceTest, SolidColourTextTurnsWhiteBelowLightness120) {
    EXPECT_EQ(colorLightness(QColor(125, 125, 0)), 59);
    EXPECT_EQ(textColorForSolid(QColor(125, 125, 0)), QColor(255, 255, 255));
    EXPECT_EQ(colorLightness(QColor(128, 128, 128)), 120);
    EXPECT_EQ(textColorForSolid(QColor(128, 128, 128)), QColor(0, 0, 0));
    EXPECT_EQ(colorLightness(QColor(127, 127, 127)), 120);
    EXPECT_EQ(colorLightness(QColor(126, 126, 126)), 119);
    EXPECT_EQ(colorLightness(QColor(0, 0, 0)), 0);
    EXPECT_EQ(colorLightness(QColor(255, 255, 255)), 240);
    // Only the largest and smallest components count.
    EXPECT_EQ(colorLightness(QColor(255, 0, 17)), colorLightness(QColor(0, 200, 255)));
}

TEST(BackgroundChoiceTest, ATextureAfterASolidColourKeepsTheColourForTheChooser) {
    BackgroundState b;
    chooseSolidColor(b, QColor(10, 20, 200));
    EXPECT_EQ(b.bitmapBackground, 0);
    EXPECT_TRUE(b.hasBackgroundBrush);
    EXPECT_EQ(b.textColor, QColor(255, 255, 255));
    chooseTexture(b, *backgroundTextureFor(32818));
    EXPECT_EQ(b.bitmapBackground, 1);
    EXPECT_EQ(b.backgroundColor, QColor(10, 20, 200));
    EXPECT_EQ(b.textColor, QColor(80, 16, 0));
}

TEST(MenuLettersTest, CyrillicAndLatinLetterOfTheSameKeyChooseTheSameItem) {
    const char* full[][2] = {{"н", "y"}, {"с", "c"}, {"з", "p"}, {"а", "f"}, {"р", "h"},
                             {"т", "n"}, {"э", "'"}, {"л", "k"}, {"б", ","}, {"о", "j"},
                             {"к", "r"}, {"у", "e"}, {"е", "t"}, {"м", "v"}, {"в", "d"},
                             {"ф", "a"}, {"п", "g"}, {"д", "l"}, {"и", "b"}, {"ы", "s"}};
    // Pause, hint and the option for blocks stand before the exit.
    const int fullItems[] = {0, 2, 3, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 17, 19, 21, 22, 23, 25};
    for (int i = 0; i < 20; ++i)
        for (const char* letter : full[i])
            EXPECT_EQ(menuItemForLetter(OwnerMenu::FullScreen, QString::fromUtf8(letter).at(0)), fullItems[i])
                << letter;
    const char* background[][2] = {{"д", "l"}, {"е", "t"}, {"и", "b"}, {"з", "p"}, {"р", "h"}, {"о", "j"},
                                   {"у", "e"}, {"б", ","}, {"ш", "i"}, {"т", "n"}, {"н", "y"}};
    for (int i = 0; i < 11; ++i)
        for (const char* letter : background[i])
            EXPECT_EQ(menuItemForLetter(OwnerMenu::Background, QString::fromUtf8(letter).at(0)), i) << letter;
    // "y" starts a new game in one menu and picks the solid colour in the other.
    EXPECT_EQ(menuItemForLetter(OwnerMenu::FullScreen, QLatin1Char('y')), 0);
    EXPECT_EQ(menuItemForLetter(OwnerMenu::Background, QLatin1Char('y')), 10);
    EXPECT_EQ(menuItemForLetter(OwnerMenu::FullScreen, QLatin1Char('x')), -1);
    EXPECT_EQ(menuItemForLetter(OwnerMenu::Background, QLatin1Char('c')), -1);
    EXPECT_EQ(menuItemForLetter(OwnerMenu::FullScreen, QLatin1Char('Y')), -1);
}

GameState stateWithBoard(int boardWidth, int boardHeight, int screenWidth, int screenHeight, bool elements) {
    GameState s;
    s.screenWidth = screenWidth;
    s.screenHeight = screenHeight;
    s.screenBitsPerPixel = 32;
    s.board.resize(boardWidth, boardHeight, screenWidth, screenHeight);
    s.board.scrollX = s.board.maxScrollX;
    s.board.scrollY = s.board.maxScrollY;
    if (elements)
        s.puzzle.create(1, 1);
    return s;
}

TEST(DisplayChangeTest, ASmallerScreenWithAGameKeepsTheBoardAndScrollsToTheOrigin) {
    GameState s = stateWithBoard(1300, 900, 1024, 768, true);
    const DisplayChangeResult r = applyDisplayChange(s, 800, 600, 32);
    EXPECT_TRUE(r.boardResized);
    EXPECT_FALSE(r.depthChanged);
    EXPECT_EQ(s.board.boardWidth, 1300);
    EXPECT_EQ(s.board.boardHeight, 900);
    EXPECT_EQ(s.board.rect().size(), QSize(1300, 900));
    EXPECT_EQ(s.screenWidth, 800);
    EXPECT_EQ(s.screenHeight, 600);
    EXPECT_EQ(s.board.maxScrollX, 500);
    EXPECT_EQ(s.board.maxScrollY, 300);
    EXPECT_EQ(s.board.scrollX, 0);
    EXPECT_EQ(s.board.scrollY, 0);

    // A larger screen in one direction enlarges the board only there.
    applyDisplayChange(s, 1600, 800, 32);
    EXPECT_EQ(s.board.boardWidth, 1600);
    EXPECT_EQ(s.board.boardHeight, 900);
    EXPECT_EQ(s.board.maxScrollX, 0);
    EXPECT_EQ(s.board.maxScrollY, 100);
}

TEST(DisplayChangeTest, WithoutElementsTheBoardTakesTheScreenSize) {
    GameState s = stateWithBoard(1024, 768, 1024, 768, false);
    applyDisplayChange(s, 800, 600, 32);
    EXPECT_EQ(s.board.boardWidth, 800);
    EXPECT_EQ(s.board.boardHeight, 600);
    EXPECT_EQ(s.board.maxScrollX, 0);
    EXPECT_EQ(s.board.maxScrollY, 0);
}

TEST(DisplayChangeTest, ASizeEqualToTheBoardLeavesItAndOnlyADepthChangeIsNoted) {
    GameState s = stateWithBoard(1024, 768, 1024, 768, true);
    const std::uint64_t boards = s.board.serial;
    DisplayChangeResult r = applyDisplayChange(s, 1024, 768, 32);
    EXPECT_FALSE(r.boardResized);
    EXPECT_FALSE(r.depthChanged);
    EXPECT_EQ(s.board.serial, boards);
    r = applyDisplayChange(s, 1024, 768, 8);
    EXPECT_FALSE(r.boardResized);
    EXPECT_TRUE(r.depthChanged);
    EXPECT_EQ(s.screenBitsPerPixel, 8);
}

TEST(DisplayChangeTest, ReloadMessageFollowsWhatIsLoaded) {
    GameFlags f;
    EXPECT_EQ(reloadMessageFor(f, false), 0);
    f.pictureLoaded = 1;
    EXPECT_EQ(reloadMessageFor(f, false), 57666);
    EXPECT_EQ(reloadMessageFor(f, true), 57667);
}

// The framed window's two roundings: equal on a screen divisible by six, apart on another.
TEST(DisplayChangeTest, TheFramedWindowKeepsEachPlacesRounding) {
    EXPECT_EQ(framedWindowRect(QSize(1024, 768), FramedRounding::TwoThirds), QRect(170, 128, 682, 512));
    EXPECT_EQ(framedWindowRect(QSize(1024, 768), FramedRounding::FourSixths), QRect(170, 128, 680, 512));
    EXPECT_EQ(framedWindowRect(QSize(1366, 768), FramedRounding::TwoThirds), QRect(227, 128, 910, 512));
    EXPECT_EQ(framedWindowRect(QSize(1366, 768), FramedRounding::FourSixths), QRect(227, 128, 908, 512));
}

} // namespace
