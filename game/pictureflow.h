#pragma once

#include <QString>

class GameFlow;
class ICursor;
class IMessageBox;
struct GameState;

// What the player chose in the cut dialog.
struct CutChoice {
    int columns = 0;
    int rows = 0;
    int elementSize = 0;
    bool squareBase = false;
    bool shiftKnobs = true;
    bool rotateElements = true;
    bool mosaic = false;
};

// The rules of the two picture commands: loading a picture (Ctrl+O) and cutting it. The windows
// (file dialog, cut dialog, preview window) stay with the caller, which runs the steps in order.
class PictureFlow {
public:
    PictureFlow(GameState& state, GameFlow& gameFlow, IMessageBox& messages, ICursor& cursor);

    // The load command before its file dialog: asks before replacing a game under way and drops
    // the old game with its picture. False when the player keeps the game; nothing changed then.
    bool prepareLoad();
    // The load command after its file dialog: loads the file at its own size. On failure the
    // player is told (message 32824 with the path) and the program stays without a picture.
    bool loadChosenFile(const QString& path);

    // The cut command before its dialog: asks while a game is under way and drops the elements
    // (not the picture). False when the player keeps the game.
    bool prepareCut();
    // The dialog's starting point: the shape options as the cut parameters hold them.
    CutChoice currentChoice() const;
    // The size the dialog offers first: the size last chosen, else the game's element size.
    int lastElementSize() const;
    // OK in the cut dialog: stretches the picture to columns x size by rows x size and keeps the
    // choice. A size the picture cannot take is reported (message 32829) and changes nothing.
    bool applyCut(const CutChoice& choice);

private:
    GameState& state_;
    GameFlow& gameFlow_;
    IMessageBox& messages_;
    ICursor& cursor_;
};
