#pragma once

// Command numbers: the ids of the menu items and accelerators. Where a menu item's text is in the
// string table, it is under the same number.
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
constexpr int ZoomIn = 32940;
constexpr int ZoomOut = 32941;
constexpr int ActualSize = 32942;
constexpr int WholeTable = 32943;
constexpr int EdgesFirst = 32950;
constexpr int GatherLoose = 32951;
constexpr int LeftMovesBlocks = 32960; // the option: a left drag on a block member moves the block
// Menu items of what only keys did before, and the best times.
constexpr int Hint = 32981;
constexpr int Records = 32982;
constexpr int Exit = 57665;
} // namespace Cmd
