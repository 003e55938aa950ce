#pragma once

#include "fakes.h"
#include "game/gamestate.h"
#include "game/savedgame.h"
#include "model/cutsupport.h"
#include "model/generator.h"
#include "model/picture.h"
#include "model/randomtables.h"

#include <memory>

// The game of one row and two columns: element 1 on top, turned by two quarter turns, nothing
// joined, 3 minutes 25 seconds played, default settings, a 1024 x 768 screen.
inline const char* const kLayoutExample = "[GLOBALS]\n"
                                          "1 2\n"
                                          "200 150 264 214\n"
                                          "420 300 484 364\n"
                                          "1 0 \n"
                                          "32125 8421504 0 64 5 4 20 3 150 1 1 1 1 1 1 0 0\n"
                                          "\n"
                                          "[MAINFRAME]\n"
                                          "0 0\n"
                                          "0 0\n"
                                          "1024 768\n"
                                          "1 0 192 0 3 25\n"
                                          "\n"
                                          "[ELEMENTS]\n"
                                          "0 1 0\n"
                                          "-1 -1 -1 -1\n"
                                          "0 1 0 0\n"
                                          "0 0 0 0\n"
                                          "10\n"
                                          "\n"
                                          "2 1 0\n"
                                          "-1 -1 -1 -1\n"
                                          "0 -1 0 0\n"
                                          "0 0 0 0\n"
                                          "01\n"
                                          "\n";

inline QByteArray crlf(QByteArray text) {
    return text.replace("\n", "\r\n");
}

// A generated game in a bare state, as the frame would hold it after generation.
inline std::unique_ptr<GameState> generatedGame(int rows, int columns, bool rotate, int size = 32,
                                                std::uint32_t seed = 7) {
    auto s = std::make_unique<GameState>();
    s->screenWidth = 1024;
    s->screenHeight = 768;
    s->cut.rotateElements = rotate;
    s->picture = coordinatePicture(columns * size, rows * size);
    GenerationRequest request{rows, columns, size, s->cut};
    StandardRandom random;
    random.seed(seed);
    FakeClock clock;
    clock.seconds += seed;
    Generator(random, clock).generate(request, s->puzzle, s->shapes, s->settings, nullptr);
    const QSize board =
        boardSizeFor(columns, rows, s->puzzle.geometry.bitmapSize, QSize(1024, 768), QSize(1024, 768));
    s->board.resize(board.width(), board.height(), 1024, 768);
    s->flags.pictureLoaded = s->flags.cutDone = 1;
    s->flags.gameCompleted = 0;
    return s;
}

// A fresh game on a 1024 x 768 screen with a saved game installed from its picture.
inline std::unique_ptr<GameState> installedGame(const SavedGame& g, const QImage& picture,
                                                BuiltElements* built = nullptr) {
    auto t = std::make_unique<GameState>();
    t->screenWidth = 1024;
    t->screenHeight = 768;
    installSavedGame(g, picture, *t, QSize(1024, 768), nullptr, built);
    return t;
}

// Joins elements a and b on the first pair of facing sides that fit, as the joiner records a
// join; false when they cannot be joined (different turns unless `anyTurn`, no fitting sides).
// Tolerant assembly joins complementary edges whatever the turns.
inline bool joinPair(GameState& s, int a, int b, bool anyTurn = false) {
    Element& x = s.puzzle.element(a);
    Element& y = s.puzzle.element(b);
    if (x.orientation != y.orientation && !anyTurn)
        return false;
    for (int side = 0; side < 4; ++side) {
        const int other = (side + 2) % 4;
        if (x.joinedNeighbour[side] != -1 || y.joinedNeighbour[other] != -1 || x.edgeSign[side] == 0 ||
            x.edgeSign[side] != -y.edgeSign[other] || x.edgeShift[side] != -y.edgeShift[other])
            continue;
        x.joinedNeighbour[side] = b;
        y.joinedNeighbour[other] = a;
        s.puzzle.blocks.merge(a, b);
        return true;
    }
    return false;
}

// Joins every element with its right-hand picture neighbour where possible; returns the count.
inline int joinRows(GameState& s, int maxJoins) {
    int joins = 0;
    const Puzzle& p = s.puzzle;
    for (int i = 0; i + 1 < p.count() && joins < maxJoins; ++i)
        if (p.columnOf(i) + 1 < p.columns && joinPair(s, i, i + 1))
            ++joins;
    return joins;
}
