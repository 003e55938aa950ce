#pragma once

#include "model/gameflags.h"

#include <QString>

#include <functional>
#include <vector>

// Command numbers: the menu and accelerator ids of the resources.
namespace Cmd {
constexpr int LoadPicture = 32771;
constexpr int CutPicture = 32772;
constexpr int Settings = 32773;
constexpr int CreateElements = 32774;
constexpr int ShowPicture = 32775;
constexpr int FullScreen = 32777;
constexpr int BackgroundMenu = 32779;
constexpr int Splash = 32796;
constexpr int Controls = 32797;
constexpr int About = 32798;
constexpr int SaveGame = 32799;
constexpr int LoadGame = 32800;
constexpr int NewGame = 32801;
constexpr int Pause = 32803;
constexpr int PopupMenu = 32805;
constexpr int HelpContents = 32806;
constexpr int BackgroundFirst = 32810; // ten textures, 32810..32819
constexpr int BackgroundLastTexture = 32819;
constexpr int BackgroundSolid = 32820;
constexpr int Exit = 57665;
} // namespace Cmd

// String numbers of the item texts the update rules switch between.
namespace Str {
constexpr int ShowPicture = 32775;
constexpr int HidePicture = 32776;
constexpr int FullScreenMode = 32777;
constexpr int WindowedMode = 32778;
} // namespace Str

struct MenuItemDef {
    int id = 0;       // 0 = separator
    const char* text; // UTF-8, accelerator text after '\t'
};

struct MenuDef {
    const char* title;
    std::vector<MenuItemDef> items;
};

// Menu 128: the menu bar, in order.
const std::vector<MenuDef>& mainMenuDefinition();

struct AcceleratorDef {
    int id;
    const char* key; // QKeySequence portable text
};

// Accelerator table 128.
const std::vector<AcceleratorDef>& acceleratorTable();

// What the enabling and relabelling rules look at.
struct CommandContext {
    GameFlags flags;
    bool previewVisible = false;
    bool fullScreen = false;
    bool turningBusy = false;
    // Re-reads the list of saved games; asked only for the load command.
    std::function<int()> savedGameCount;
};

struct CommandUpdate {
    bool enabled = true;
    QString text; // empty: keep the item's text
};

// The update rule of one command, as evaluated when a menu opens and before an accelerator's
// command runs. Texts are given without accelerator text; the caller keeps that part.
CommandUpdate updateCommand(int id, const CommandContext& context);
