#pragma once

#include "model/cutparameters.h"
#include "model/edges.h"
#include "model/rect.h"
#include "model/settings.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <vector>

class IProgress;
struct GameState;

// What the text file of a saved game holds for one element.
struct SavedElement {
    std::int32_t orientation = 0;
    std::int32_t alone = 1;
    std::int32_t fullyJoined = 0;
    EdgeRecord joinedNeighbour{-1, -1, -1, -1};
    EdgeRecord edgeSign{};
    EdgeRecord edgeShift{};
};

// A saved game's text file as read, checked value by value before anything is built from it.
struct SavedGame {
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::vector<Rect> bodyRects;
    std::vector<std::int32_t> stackOrder;

    std::uint32_t backgroundColor = 0; // 0x00BBGGRR
    std::uint32_t outlineColor = 0;
    std::uint32_t textColor = 0;
    std::int32_t elementSize = 0;
    Settings settings;
    CutParameters cut; // only the four shape options are used

    std::int32_t scrollX = 0, scrollY = 0, maxScrollX = 0, maxScrollY = 0;
    std::int32_t boardWidth = 0, boardHeight = 0;
    std::int32_t bitmapBackground = 1;
    std::int32_t fullScreen = 0;
    std::uint32_t backgroundBitmapId = 0;
    std::int32_t hours = 0, minutes = 0, seconds = 0;

    std::vector<SavedElement> elements;
    // The blocks of more than one element, each ascending.
    std::vector<std::vector<std::int32_t>> blocks;

    int count() const { return rows * columns; }
    std::int32_t clockCarried() const { return seconds + 60 * (minutes + 60 * hours); }
};

enum class SavedGameError {
    None,
    CannotOpen,    // the file cannot be read
    UnknownFormat, // the first line is not "[GLOBALS]"
    Damaged,       // a value is missing, out of range or contradicts another
};

// Limits a reader holds every file to, whatever it says.
namespace SavedGameLimits {
constexpr int maxRowsOrColumns = 1024;
constexpr int minElementSize = 16;
constexpr int maxElementSize = 320;
constexpr int maxBoardSide = 32768;
constexpr int maxCoordinate = 1 << 20;
} // namespace SavedGameLimits

// Colour values as the file writes them: red in the low byte.
std::uint32_t colorRef(const QColor& colour);
QColor fromColorRef(std::uint32_t value);

// The text file of the current game, exactly as the program has always written it (every line
// ending in CR LF). The clock value is the carried time; fold the running stretch in first.
QByteArray formatSavedGame(const GameState& state, int fullScreen);
// Writes the text file; false when it cannot be written completely.
bool writeSavedGame(const QString& path, const GameState& state, int fullScreen);

// Reads and checks a text file. Accepts CR LF and LF; values after the first line may be spread
// over lines in any way. Nothing is built from a file that fails any check.
SavedGameError parseSavedGame(const QByteArray& bytes, SavedGame& game);
SavedGameError readSavedGameFile(const QString& path, SavedGame& game);

// True when the picture is the cut picture the game was made from.
bool pictureFitsSavedGame(const SavedGame& game, const QImage& picture);

// Replaces the game in `state` by the saved one: cut, settings, background, elements with their
// shapes and board regions, blocks, stacking order, board size and the carried clock. The
// element bitmaps are painted once the picture has been turned (gameReady). The caller has
// checked the picture with pictureFitsSavedGame and discarded the previous game.
void installSavedGame(const SavedGame& game, const QImage& picture, GameState& state, QSize fullScreenClient,
                      IProgress* progress);

// The fallback writer of the picture file: a 24-bit uncompressed bitmap.
bool writePictureBmp24(const QString& path, const QImage& picture);
