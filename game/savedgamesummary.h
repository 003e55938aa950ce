#pragma once

#include "game/savedgame.h"

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

// What the load dialog shows of a saved game before it is loaded: a reduced copy of its cut
// picture, its cut, how many elements are joined, its clock and when it was saved. Read from
// the game's two files without reading either whole, so it is quick for the largest game.
struct SavedGameSummary {
    bool ok = false; // false: the game is missing or damaged (a notice is shown instead)
    SavedGameOverview game;
    QImage picture; // fits the box it was read for
    QDateTime savedAt;
};

// Reads the summary of the game whose files lie at these paths. Only regular files are opened
// (a pipe or a device under a game's name would never answer), and nothing is read or sized
// beyond what the files hold.
SavedGameSummary readSavedGameSummary(const QString& picturePath, const QString& gamePath, QSize pictureBox);
