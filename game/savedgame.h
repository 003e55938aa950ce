#pragma once

#include "model/cutcalculator.h"
#include "model/cutparameters.h"
#include "model/edges.h"
#include "model/generator.h"
#include "model/picture.h"
#include "model/puzzle.h"
#include "model/rect.h"
#include "model/settings.h"
#include "model/shapebuilder.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class IProgress;
class QIODevice;
struct GameState;

// What the text file of a saved game holds for one element.
struct SavedElement {
    std::int32_t orientation = 0;
    std::int32_t alone = 1;
    std::int32_t fullyJoined = 0;
    EdgeRecord joinedNeighbour{-1, -1, -1, -1};
    EdgeRecord edgeSign{};
    EdgeRecord edgeShift{};

    friend bool operator==(const SavedElement&, const SavedElement&) = default;
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
// The largest cut the cut dialog accepts; every game up to it saves and loads again.
constexpr int maxElements = CutCalculator::maxElements;
// Games of up to this many elements are written in the described form, whose file holds N
// membership digits per element and so grows with N x N (16384 elements make some 270 MB);
// larger ones in the compact form, which grows with N (some 63 bytes an element).
constexpr int describedFormElements = 16384;
constexpr int minElementSize = 16;
constexpr int maxElementSize = 320;
// The widest or tallest screen a game is assumed to have been saved on. Elements may lie beyond
// the picture's scatter grid by about this much (dragged off the board, blocks turned, the board
// grown), no further.
constexpr int maxScreenSide = ::maxScreenSide;
// Longest file the reader reads at all: the described form of its largest game, the membership
// digits plus at most 128 bytes of numbers per element, and the head.
constexpr qint64 maxFileSize = qint64(describedFormElements) * (describedFormElements + 128) + 4096;
// The fewest bytes a compact file spends on one element: 18 values of one character and a blank
// each in its record, and its place in the stacking order. A file too short for its count is
// refused before anything is sized from it.
constexpr qint64 compactMinBytesPerElement = 38;
// The most the compact writer spends on one element (18 values of at most 11 characters and a
// blank, and its place in the stacking order).
constexpr qint64 compactMaxBytesPerElement = 18 * 12 + 12 + 2;
static_assert(qint64(maxElements) * compactMaxBytesPerElement + 4096 < maxFileSize);
} // namespace SavedGameLimits

// The two layouts of a saved game's text file, told apart by its first line.
enum class SavedGameForm {
    Described, // "[GLOBALS]": the program's own layout, an N-digit membership line per element
    Compact,   // "[GLOBALS 2]": one line per element with its block's number, linear in N
};
// The first line of each form: a reader of the described form refuses the compact one as a file
// of unknown format.
inline constexpr char describedFormLine[] = "[GLOBALS]";
inline constexpr char compactFormLine[] = "[GLOBALS 2]";
// The form the save command writes a game of `count` elements in.
constexpr SavedGameForm savedGameFormFor(int count) {
    return count > SavedGameLimits::describedFormElements ? SavedGameForm::Compact : SavedGameForm::Described;
}

// Colour values as the file writes them: red in the low byte.
std::uint32_t colorRef(const QColor& colour);
QColor fromColorRef(std::uint32_t value);

// The text file of the current game, exactly as the program has always written it (every line
// ending in CR LF). The clock value is the carried time; fold the running stretch in first.
// The text is streamed to the device in pieces; false when a write fails.
bool writeSavedGameTo(QIODevice& device, const GameState& state, int fullScreen);
// What the text file holds, copied out of the game without bitmaps or regions: cheap enough to
// take between two frames, and then written on another thread while play goes on. `carried` is
// the playing time in seconds.
SavedGame savedGameSnapshot(const GameState& state, int fullScreen, std::int32_t carried);
// The text file of a snapshot (or of a game as read), byte for byte as the game writes it: in the
// form its count asks for, or in the form given.
bool writeSavedGameTo(QIODevice& device, const SavedGame& game);
bool writeSavedGameTo(QIODevice& device, const SavedGame& game, SavedGameForm form);
QByteArray formatSavedGame(const GameState& state, int fullScreen);
QByteArray formatSavedGame(const SavedGame& game, SavedGameForm form);
// Writes the text file; false when it cannot be written completely.
bool writeSavedGame(const QString& path, const GameState& state, int fullScreen);

// Reads and checks a text file of either form in one pass, never holding the whole file. Accepts
// CR LF and LF; values after the first line may be spread over lines in any way. Nothing is built
// from a file that fails any check. A device shorter than its form needs for N elements (N x N
// bytes described, 38 N compact) cannot hold them, so nothing is sized from its numbers. `pieceSize` is how
// much is read at a time (tests cross piece boundaries with tiny ones).
SavedGameError readSavedGame(QIODevice& device, SavedGame& game, qint64 pieceSize = qint64(1) << 20);
SavedGameError parseSavedGame(const QByteArray& bytes, SavedGame& game);
SavedGameError readSavedGameFile(const QString& path, SavedGame& game);

// What a saved game's text file says about the game at a glance, read without its membership
// lines: the cut, the clock and how many elements are joined.
struct SavedGameOverview {
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::int32_t elementSize = 0;
    std::int32_t clockCarried = 0; // seconds
    int joined = -1;               // elements joined to another; -1 when it cannot be told cheaply
    int count() const { return rows * columns; }
};
// Reads the head of the text file (checked as the full reader checks it) and walks the element
// records: in the described form by seeking past their membership lines (the device must be
// seekable), in the compact form, a few bytes an element, by reading them all. Its first line
// tells the form of the file.
SavedGameError readSavedGameOverview(QIODevice& device, SavedGameOverview& overview);

// A saved game's elements built from its records alone, with the shapes they share: what
// installing the game builds, made beforehand (on another thread while the player chooses).
struct BuiltElements {
    Puzzle puzzle;
    ShapeBuilder shapes;
};
// Builds the elements of a checked game; `progress(done)` as buildElements gives it.
std::unique_ptr<BuiltElements> buildSavedElements(const SavedGame& game,
                                                  const std::function<void(int done)>& progress = {});

// Both files of a saved game, the picture read on a second thread while the text is checked.
struct SavedGameFiles {
    LoadResult picture;
    QByteArray pictureFingerprint; // of the picture file's bytes, when asked for
    SavedGame game;
    SavedGameError error = SavedGameError::None; // of the text file
    std::shared_ptr<BuiltElements> built;        // the game's elements, when built ahead
};
// A text file read before its load was asked for, as it stood then, with its elements built
// when it was read without fault.
struct SavedGameText {
    SavedGame game;
    SavedGameError error = SavedGameError::None;
    std::shared_ptr<BuiltElements> built;
};
// Reads and checks a game's text file and builds its elements when it was read without fault:
// what is made ahead while the player is still choosing the game.
SavedGameText readSavedGameText(const QString& gamePath);
// The game's text into `files`: as read before (`text`) when given, else read from the file now.
void takeSavedGameText(const QString& gamePath, std::optional<SavedGameText> text, SavedGameFiles& files);
// With `text`, the text file is taken as read there rather than read again.
SavedGameFiles readSavedGameFiles(const QString& picturePath, const QString& gamePath,
                                  bool fingerprintPicture = false, PictureReserve* reserve = nullptr,
                                  std::optional<SavedGameText> text = std::nullopt);

// True when the picture is the cut picture the game was made from.
bool pictureFitsSavedGame(const SavedGame& game, const QImage& picture);

// Replaces the game in `state` by the saved one: cut, settings, background, elements with their
// shapes, bitmaps and board regions, blocks, stacking order, board size and the carried clock.
// Bitmaps are painted from the picture as cut, so the turned copies (the worker's) are not needed
// for it. The caller has checked the picture with pictureFitsSavedGame and discarded the
// previous game. Elements built ahead from this very game (`built`) are taken over, not built.
void installSavedGame(const SavedGame& game, const QImage& picture, GameState& state, QSize fullScreenClient,
                      IProgress* progress, BuiltElements* built = nullptr);

// The board a loaded game gets: at least what the cut needs on this screen, at least the stored
// board, but never more than the elements and the screen need: a stored size beyond both the
// furthest element's cell plus the margin of a fitted board (or its body plus one element, the
// room a table grown in play leaves) and twice the screen is clamped.
QSize savedBoardSize(const SavedGame& game, const Geometry& geometry, QSize screen, QSize fullScreenClient);

// The fallback writer of the picture file: a 24-bit uncompressed bitmap.
bool writePictureBmp24(const QString& path, const QImage& picture);
