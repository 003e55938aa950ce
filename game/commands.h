#pragma once

#include "model/gameflags.h"
#include "res/commandids.h"

#include <QString>

#include <array>
#include <functional>
#include <vector>

// What the enabling and relabelling rules look at.
struct CommandContext {
    GameFlags flags;
    bool elementsExist = false;
    bool previewVisible = false;
    bool fullScreen = false;
    // The mouse holds an element or a block.
    bool holding = false;
    // The option: a left drag on a member of a block moves the block.
    bool leftButtonMovesBlocks = false;
    // The clock is shown: pausing stops it, so without it there is no pause.
    bool showTimer = true;
    // Re-reads the list of saved games; asked only for the load command.
    std::function<int()> savedGameCount;

    bool gameUnderWay() const { return ::gameUnderWay(elementsExist, flags); }
};

struct CommandUpdate {
    bool enabled = true;
    QString text;     // empty: keep the item's text
    int checked = -1; // a check item's state: 1 checked, 0 not; -1 for the other items
};

// The menus of the menu bar, in their order.
enum class Menu { None, Game, Actions, View, Background, Help };

// One command: where it stands in the menu bar, its keys and the rule that enables (and for two
// of them relabels) it. Its menu text is the string of its own number, except for the few items
// that have none.
struct CommandRow {
    int id = 0;
    Menu menu = Menu::None;
    bool separatorBefore = false;      // a separator precedes the item in its menu
    const char* text = nullptr;        // UTF-8, only where the string table has no text for the id
    int textId = 0;                    // the string of the menu text when it is not under the id
    std::array<const char*, 2> keys{}; // accelerators as QKeySequence text; unused ones null
    bool keyInMenu = true;             // the first key follows the menu text after a tab
    bool checkable = false;            // a check item: its rule gives the state
    // A key the board reads itself (no accelerator), shown after the tab all the same.
    const char* boardKey = nullptr;
    CommandUpdate (*rule)(const CommandContext&) = nullptr; // none: always enabled
};

// Every command of the program, menu items in menu order first, then the commands that only
// have keys. Menus, accelerators and enabling rules are all built from it.
const std::vector<CommandRow>& commandTable();
// The row of a command; nullptr for a number that is no command.
const CommandRow* commandRow(int id);
// A command's menu text without its keys.
QString commandText(const CommandRow& row);
QString commandText(int id);

struct MenuItemDef {
    int id = 0;   // 0 = separator
    QString text; // accelerator text after '\t'
};

struct MenuDef {
    const char* title;
    std::vector<MenuItemDef> items;
};

// Menu 128: the menu bar, in order, as the table gives it.
const std::vector<MenuDef>& mainMenuDefinition();

struct AcceleratorDef {
    int id;
    const char* key; // QKeySequence portable text
};

// Accelerator table 128, as the table gives it.
const std::vector<AcceleratorDef>& acceleratorTable();

// The update rule of one command, as evaluated when a menu opens and before an accelerator's
// command runs. Texts are given without accelerator text; the caller keeps that part.
CommandUpdate updateCommand(int id, const CommandContext& context);
