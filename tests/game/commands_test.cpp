#include "game/commands.h"
#include "res/strings.h"

#include <QKeySequence>

#include <set>

#include <gtest/gtest.h>

namespace {

CommandContext contextFor(int flagsBits, bool preview = false, bool full = false, int saved = 0) {
    CommandContext c;
    c.flags.pictureLoaded = flagsBits & 1;
    c.flags.cutDone = (flagsBits >> 1) & 1;
    c.elementsExist = (flagsBits >> 2) & 1;
    c.flags.gameCompleted = (flagsBits >> 3) & 1;
    c.previewVisible = preview;
    c.fullScreen = full;
    c.savedGameCount = [saved] { return saved; };
    return c;
}

// Every combination of the four flags against the enabling rules.
TEST(CommandRulesTest, EnablingFollowsTheFlags) {
    for (int bits = 0; bits < 16; ++bits) {
        const CommandContext c = contextFor(bits);
        const bool picture = bits & 1, cut = bits & 2, elements = bits & 4, completed = bits & 8;
        SCOPED_TRACE(bits);
        EXPECT_EQ(updateCommand(Cmd::CutPicture, c).enabled, picture);
        EXPECT_EQ(updateCommand(Cmd::CreateElements, c).enabled, picture && cut);
        EXPECT_EQ(updateCommand(Cmd::ShowPicture, c).enabled, picture);
        EXPECT_EQ(updateCommand(Cmd::SaveGame, c).enabled, elements && !completed);
        EXPECT_EQ(updateCommand(Cmd::EdgesFirst, c).enabled, elements && !completed);
        EXPECT_EQ(updateCommand(Cmd::GatherLoose, c).enabled, elements && !completed);
        // Commands without a rule stay enabled.
        EXPECT_TRUE(updateCommand(Cmd::NewGame, c).enabled);
        EXPECT_TRUE(updateCommand(Cmd::FullScreen, c).enabled);
        EXPECT_TRUE(updateCommand(Cmd::Settings, c).enabled);
        EXPECT_TRUE(updateCommand(Cmd::Exit, c).enabled);
    }
}

TEST(CommandRulesTest, LoadGameAsksTheStoreEachTime) {
    int asked = 0;
    CommandContext c = contextFor(0);
    c.savedGameCount = [&asked] {
        ++asked;
        return asked > 1 ? 1 : 0;
    };
    EXPECT_FALSE(updateCommand(Cmd::LoadGame, c).enabled);
    EXPECT_TRUE(updateCommand(Cmd::LoadGame, c).enabled);
    EXPECT_EQ(asked, 2);
}

TEST(CommandRulesTest, ItemTextsFollowPreviewAndFullScreen) {
    EXPECT_EQ(updateCommand(Cmd::ShowPicture, contextFor(1, false)).text,
              QString::fromUtf8("Показать &Картинку"));
    EXPECT_EQ(updateCommand(Cmd::ShowPicture, contextFor(1, true)).text,
              QString::fromUtf8("Спрятать &Картинку"));
    EXPECT_EQ(updateCommand(Cmd::FullScreen, contextFor(0, false, false)).text,
              QString::fromUtf8("П&олноэкранный Режим"));
    EXPECT_EQ(updateCommand(Cmd::FullScreen, contextFor(0, false, true)).text,
              QString::fromUtf8("&Оконный Режим"));
    EXPECT_TRUE(updateCommand(Cmd::CutPicture, contextFor(1)).text.isEmpty());
}

// The sorting commands never move what the mouse holds.
TEST(CommandRulesTest, SortingWaitsWhileAnElementIsHeld) {
    CommandContext c = contextFor(7);
    EXPECT_TRUE(updateCommand(Cmd::EdgesFirst, c).enabled);
    c.holding = true;
    EXPECT_FALSE(updateCommand(Cmd::EdgesFirst, c).enabled);
    EXPECT_FALSE(updateCommand(Cmd::GatherLoose, c).enabled);
    EXPECT_TRUE(updateCommand(Cmd::SaveGame, c).enabled);
}

TEST(MenuDefinitionTest, FiveMenusAndEveryAcceleratorHasAnItemOrCommand) {
    const auto& menus = mainMenuDefinition();
    ASSERT_EQ(menus.size(), 5u);
    EXPECT_STREQ(menus[0].title, "&Игра");
    EXPECT_STREQ(menus[4].title, "&Справка");
    int items = 0;
    for (const auto& m : menus)
        for (const auto& i : m.items)
            items += i.id != 0;
    // Game: with the records; actions: with pause and hint and the option for blocks.
    EXPECT_EQ(items, (5 + 1) + (3 + 2 + 2 + 1) + (2 + 4) + 11 + 3);
}

// One row per command: each id once, every menu item with a text of one mnemonic, every key a
// key the platform knows.
TEST(MenuDefinitionTest, EveryCommandHasOneRowWithTextAndValidKeys) {
    std::set<int> ids;
    for (const CommandRow& row : commandTable()) {
        EXPECT_TRUE(ids.insert(row.id).second) << row.id;
        EXPECT_EQ(commandRow(row.id), &row);
        if (row.menu != Menu::None) {
            const QString text = commandText(row);
            EXPECT_EQ(text.count(QLatin1Char('&')), 1) << row.id;
        }
        for (const char* key : row.keys) {
            if (key) {
                EXPECT_EQ(QKeySequence(QString::fromLatin1(key)).count(), 1) << row.id << " " << key;
            }
        }
    }
    EXPECT_EQ(commandRow(0), nullptr);
    EXPECT_EQ(acceleratorTable().size(), 13u + 5u + 2u);
}

} // namespace
