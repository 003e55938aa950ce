#pragma once

#include <QRect>
#include <QSize>

class IMessageBox;
struct GameFlags;
struct GameState;

// Where the framed window stands: a sixth of the screen from its top-left corner, two thirds of
// it wide and high. Start-up sizes it as W * 2 / 3, leaving full-screen mode as 4 * (W / 6); the
// roundings differ (a 1366-pixel screen gives 910 and 908), and each place keeps its own.
enum class FramedRounding { TwoThirds, FourSixths };
QRect framedWindowRect(QSize screen, FramedRounding rounding);

// The colour-depth question (string 57668 with the display's size and depth, in the platform's
// standard box): at 8 bits per pixel or fewer the player is asked whether to go on at all.
// True when the depth is enough or the player said Yes.
bool goOnAtDepth(IMessageBox& messages, int width, int height, int depth);

// What a change of the display did to the game state.
struct DisplayChangeResult {
    bool boardResized = false; // a new board bitmap: it must be redrawn
    bool depthChanged = false; // the player is told at the next activation
};

// Follows a new display size and colour depth. The board takes the new size when it differs from
// the board's own size; while elements lie on it, it only grows, so none of them falls off. The
// new bitmap is scrolled to the origin and still has to be drawn.
DisplayChangeResult applyDisplayChange(GameState& state, int width, int height, int depth);

// The string asking the player to reload after a depth change: 57667 with elements on the board,
// 57666 with only a picture, 0 with neither.
int reloadMessageFor(const GameFlags& flags, bool elementsExist);
