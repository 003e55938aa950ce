#include "game/commands.h"

#include "res/stringids.h"
#include "res/strings.h"

#include <algorithm>

namespace {

CommandUpdate pictureLoaded(const CommandContext& c) {
    return {c.flags.pictureLoaded == 1, {}};
}

CommandUpdate pictureCut(const CommandContext& c) {
    return {c.flags.pictureLoaded == 1 && c.flags.cutDone == 1, {}};
}

CommandUpdate gameToSave(const CommandContext& c) {
    return {c.gameUnderWay(), {}};
}

// Sorting moves elements of a game on show, never one in the player's hand. A paused game is
// behind its modal pause window, where no command reaches.
CommandUpdate gameToSort(const CommandContext& c) {
    return {c.gameUnderWay() && !c.holding, {}};
}

// Pausing does nothing after completion or while the clock is hidden; the item says so.
CommandUpdate gameToPause(const CommandContext& c) {
    return {c.gameUnderWay() && c.showTimer, {}};
}

// The hint needs elements to point at and a free hand, as its key does.
CommandUpdate hintRule(const CommandContext& c) {
    return {c.elementsExist && !c.holding, {}};
}

CommandUpdate gamesToLoad(const CommandContext& c) {
    return {c.savedGameCount && c.savedGameCount() > 0, {}};
}

CommandUpdate showPicture(const CommandContext& c) {
    return {c.flags.pictureLoaded == 1, loadString(c.previewVisible ? Str::HidePicture : Str::ShowPicture)};
}

CommandUpdate leftButtonMovesBlocks(const CommandContext& c) {
    return {true, {}, c.leftButtonMovesBlocks ? 1 : 0};
}

CommandUpdate fullScreen(const CommandContext& c) {
    return {true, loadString(c.fullScreen ? Str::WindowedMode : Str::FullScreenMode)};
}

struct MenuTitle {
    Menu menu;
    const char* title;
};

constexpr MenuTitle kMenuTitles[] = {
    {Menu::Game, "&Игра"},      {Menu::Actions, "&Действия"}, {Menu::View, "&Вид"},
    {Menu::Background, "&Фон"}, {Menu::Help, "&Справка"},
};

} // namespace

const std::vector<CommandRow>& commandTable() {
    static const std::vector<CommandRow> rows = [] {
        std::vector<CommandRow> r = {
            {.id = Cmd::NewGame, .menu = Menu::Game, .keys = {"Ctrl+N"}},
            {.id = Cmd::SaveGame,
             .menu = Menu::Game,
             .separatorBefore = true,
             .keys = {"F2"},
             .rule = gameToSave},
            {.id = Cmd::LoadGame, .menu = Menu::Game, .keys = {"F3"}, .rule = gamesToLoad},
            {.id = Cmd::Records, .menu = Menu::Game},
            {.id = Cmd::Settings, .menu = Menu::Game, .separatorBefore = true},
            {.id = Cmd::Exit, .menu = Menu::Game, .separatorBefore = true},

            {.id = Cmd::LoadPicture, .menu = Menu::Actions, .keys = {"Ctrl+O"}},
            {.id = Cmd::CutPicture, .menu = Menu::Actions, .rule = pictureLoaded},
            // Enter on the keypad and on the main keyboard.
            {.id = Cmd::CreateElements,
             .menu = Menu::Actions,
             .keys = {"Enter", "Return"},
             .rule = pictureCut},
            {.id = Cmd::EdgesFirst,
             .menu = Menu::Actions,
             .separatorBefore = true,
             .keys = {"Ctrl+E"},
             .rule = gameToSort},
            {.id = Cmd::GatherLoose, .menu = Menu::Actions, .keys = {"Ctrl+G"}, .rule = gameToSort},
            // Keys that laptops may lack or players may not know, as menu items too.
            {.id = Cmd::Pause,
             .menu = Menu::Actions,
             .separatorBefore = true,
             .textId = Str::PauseItem,
             .keys = {"Pause"},
             .rule = gameToPause},
            {.id = Cmd::Hint, .menu = Menu::Actions, .boardKey = "H", .rule = hintRule},
            {.id = Cmd::LeftMovesBlocks,
             .menu = Menu::Actions,
             .separatorBefore = true,
             .checkable = true,
             .rule = leftButtonMovesBlocks},

            {.id = Cmd::FullScreen, .menu = Menu::View, .keys = {"Ctrl+M"}, .rule = fullScreen},
            {.id = Cmd::ShowPicture, .menu = Menu::View, .keys = {"Ctrl+P"}, .rule = showPicture},
            // Ctrl and "+" with or without Shift, on the main keyboard or the keypad.
            {.id = Cmd::ZoomIn, .menu = Menu::View, .separatorBefore = true, .keys = {"Ctrl++", "Ctrl+="}},
            {.id = Cmd::ZoomOut, .menu = Menu::View, .keys = {"Ctrl+-"}},
            {.id = Cmd::ActualSize, .menu = Menu::View, .keys = {"Ctrl+0"}},
            {.id = Cmd::WholeTable, .menu = Menu::View, .keys = {"Z"}},
        };
        for (int id = Cmd::BackgroundFirst; id <= Cmd::BackgroundLastTexture; ++id)
            r.push_back({.id = id, .menu = Menu::Background});
        const std::vector<CommandRow> rest = {
            {.id = Cmd::BackgroundSolid, .menu = Menu::Background, .separatorBefore = true},

            {.id = Cmd::HelpContents, .menu = Menu::Help, .text = "&Содержание"},
            {.id = Cmd::Controls,
             .menu = Menu::Help,
             .text = "&Управление...",
             .keys = {"F1"},
             .keyInMenu = false},
            {.id = Cmd::About, .menu = Menu::Help, .separatorBefore = true, .text = "&О программе..."},

            {.id = Cmd::BackgroundMenu, .keys = {"Ctrl+B"}},
            {.id = Cmd::Splash, .keys = {"Ctrl+S"}},
            {.id = Cmd::PopupMenu, .keys = {"F10"}},
        };
        r.insert(r.end(), rest.begin(), rest.end());
        return r;
    }();
    return rows;
}

const CommandRow* commandRow(int id) {
    const auto& rows = commandTable();
    const auto it = std::find_if(rows.begin(), rows.end(), [id](const CommandRow& r) { return r.id == id; });
    return it == rows.end() ? nullptr : &*it;
}

QString commandText(const CommandRow& row) {
    if (row.text)
        return QString::fromUtf8(row.text);
    return loadString(row.textId ? row.textId : row.id);
}

QString commandText(int id) {
    const CommandRow* row = commandRow(id);
    return row ? commandText(*row) : loadString(id);
}

const std::vector<MenuDef>& mainMenuDefinition() {
    static const std::vector<MenuDef> menus = [] {
        std::vector<MenuDef> result;
        for (const MenuTitle& title : kMenuTitles) {
            MenuDef menu{title.title, {}};
            for (const CommandRow& row : commandTable()) {
                if (row.menu != title.menu)
                    continue;
                if (row.separatorBefore)
                    menu.items.push_back({0, QString()});
                QString text = commandText(row);
                if (row.keys[0] && row.keyInMenu)
                    text += QLatin1Char('\t') + QString::fromLatin1(row.keys[0]);
                else if (row.boardKey)
                    text += QLatin1Char('\t') + QString::fromLatin1(row.boardKey);
                menu.items.push_back({row.id, text});
            }
            result.push_back(std::move(menu));
        }
        return result;
    }();
    return menus;
}

const std::vector<AcceleratorDef>& acceleratorTable() {
    static const std::vector<AcceleratorDef> table = [] {
        std::vector<AcceleratorDef> result;
        for (const CommandRow& row : commandTable())
            for (const char* key : row.keys)
                if (key)
                    result.push_back({row.id, key});
        return result;
    }();
    return table;
}

CommandUpdate updateCommand(int id, const CommandContext& context) {
    const CommandRow* row = commandRow(id);
    return row && row->rule ? row->rule(context) : CommandUpdate{};
}
