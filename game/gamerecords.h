#pragma once

#include "game/recordstore.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

class QImage;
struct GameState;

// The fingerprint of a picture as cut: its size and the colour of every pixel, whatever format
// holds them, so that the picture of a saved game (a bitmap of its own depth) matches the
// picture it was cut from. 32 lower-case hex digits.
QByteArray pictureFingerprint(const QImage& picture);

// The picture and cut of the game on the board, as records are kept by them.
RecordKey recordKeyFor(const GameState& state);

// What the records window shows after a finished game.
struct FinishReport {
    Record record; // this game
    int elements = 0;
    QString pictureName;      // the picture's file name, when known now or from an earlier time
    QString gameName;         // the saved game it was loaded from, when the file name is not known
    std::vector<Record> best; // the best times of this picture and cut, best first
    int place = -1;           // this game's place among them; -1 when not among the ten
    bool damaged = false;     // the records file was damaged: what could be read was kept
    bool notAFile = false;    // something other than a file stood in its place (and was replaced)
    bool written = false;     // the file holds what is shown (false: it could not be written)
    bool finished = true;     // false: the best times looked up at another moment (no new time)
};

// The records of finished games, kept in the player's folder.
class GameRecords {
public:
    void setFolder(const QString& folder) { store_.setFolder(folder); }
    RecordStore& store() { return store_; }

    // A game has just been finished in `seconds` of playing time at the instant `now` (seconds
    // since 1970 UTC): its time joins the records of its picture and cut, and the file is written.
    FinishReport finish(const GameState& state, std::int64_t seconds, std::int64_t now);
    // The best times of the picture and cut on the board, looked up without adding any.
    FinishReport current(const GameState& state);
    // Every picture and cut with records, in the order the file first names them: one report
    // each, its best times best first.
    std::vector<FinishReport> overview();

private:
    // How the report names the picture: its file now, else the latest name an earlier time of
    // it had, else the saved game it came from.
    void namePicture(FinishReport& report, const GameState& state) const;

    RecordStore store_;
};
