#pragma once

// What the saved-game fuzzer checks for one input, shared with the test that replays its seed
// files: any bytes, in either form of the file, are either refused, leaving the result alone, or
// read into a game that keeps every promise the reader makes. Read through a device in tiny
// pieces it gives the same answer as in one piece; written in either form it reads back the
// same; a small accepted game is built, written, read and built again and writes the same bytes;
// and the board it asks for is no larger than its elements need.

#include "game/gamestate.h"
#include "game/savedgame.h"
#include "model/generator.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <set>

namespace fuzzsavedgame {

inline bool sameGame(const SavedGame& a, const SavedGame& b) {
    if (a.rows != b.rows || a.columns != b.columns || a.bodyRects != b.bodyRects ||
        a.stackOrder != b.stackOrder || a.blocks != b.blocks || a.elements.size() != b.elements.size() ||
        a.clockCarried() != b.clockCarried() || a.boardWidth != b.boardWidth ||
        a.boardHeight != b.boardHeight || !(a.settings == b.settings))
        return false;
    for (std::size_t i = 0; i < a.elements.size(); ++i) {
        const SavedElement& x = a.elements[i];
        const SavedElement& y = b.elements[i];
        if (x.orientation != y.orientation || x.alone != y.alone || x.joinedNeighbour != y.joinedNeighbour ||
            x.edgeSign != y.edgeSign || x.edgeShift != y.edgeShift)
            return false;
    }
    return true;
}

// The broken promise, or nullptr when the input was handled soundly.
inline const char* checkInput(const QByteArray& bytes) {
    SavedGame g;
    g.rows = -7;
    const SavedGameError error = parseSavedGame(bytes, g);

    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    SavedGame streamed;
    if (readSavedGame(device, streamed, 7) != error)
        return "reading in pieces gives another answer";
    if (error != SavedGameError::None)
        return g.rows == -7 ? nullptr : "a refused file changed the result";
    if (!sameGame(g, streamed))
        return "reading in pieces gives another game";

    const int n = g.count();
    if (n < 1 || n > SavedGameLimits::maxElements || int(g.bodyRects.size()) != n ||
        int(g.elements.size()) != n)
        return "accepted a game of a size the reader must refuse";
    // Either form holds what was read: written again in it, it reads back to the same game.
    for (const SavedGameForm form : {SavedGameForm::Described, SavedGameForm::Compact}) {
        if (form == SavedGameForm::Described && n > SavedGameLimits::describedFormElements)
            continue;
        SavedGame again;
        if (parseSavedGame(formatSavedGame(g, form), again) != SavedGameError::None)
            return "a game read is refused when written in either form";
        if (!sameGame(g, again))
            return "a game read reads back as another in either form";
    }
    std::set<int> inBlocks;
    for (const auto& block : g.blocks) {
        if (block.size() < 2 || !std::is_sorted(block.begin(), block.end()))
            return "a block of one or out of order";
        for (const int m : block)
            if (m < 0 || m >= n || !inBlocks.insert(m).second)
                return "blocks overlap";
    }

    const Geometry geometry =
        Geometry::compute(g.elementSize, g.cut.mosaic, g.cut.irregularBase, g.settings.outlineThickness);
    const QSize screen(1024, 768);
    const QSize board = savedBoardSize(g, geometry, screen, screen);
    const QSize fitted = boardSizeFor(g.columns, g.rows, geometry.bitmapSize, screen, screen);
    const qint64 reach =
        qint64(geometry.bitmapSize) * std::max(g.rows, g.columns) + SavedGameLimits::maxScreenSide;
    if (board.width() > std::max<qint64>(fitted.width(), reach + geometry.bitmapSize + 50) ||
        board.height() > std::max<qint64>(fitted.height(), reach + geometry.bitmapSize + 50))
        return "a board larger than the elements need";

    // Building, writing and reading again: only for games that build quickly.
    const qint64 width = qint64(g.columns) * g.elementSize, height = qint64(g.rows) * g.elementSize;
    if (n > 64 || width * height > 256 * 256 || board.width() > 4096 || board.height() > 4096)
        return nullptr;
    QImage picture(int(width), int(height), QImage::Format_RGB32);
    picture.fill(0x336699);
    if (!pictureFitsSavedGame(g, picture))
        return "the cut picture does not fit";
    GameState t;
    t.screenWidth = screen.width();
    t.screenHeight = screen.height();
    installSavedGame(g, picture, t, screen, nullptr);
    if (!t.puzzle.blocks.isConsistent())
        return "blocks built inconsistently";
    const QByteArray again = formatSavedGame(t, 0);
    SavedGame h;
    if (parseSavedGame(again, h) != SavedGameError::None)
        return "a written game is refused";
    GameState u;
    u.screenWidth = screen.width();
    u.screenHeight = screen.height();
    installSavedGame(h, picture, u, screen, nullptr);
    if (formatSavedGame(u, 0) != again)
        return "writing what was read gives another file";
    return nullptr;
}

} // namespace fuzzsavedgame
