#pragma once

#include "model/cutparameters.h"

#include <QSize>

#include <functional>

class IClock;
class IRandom;
class Puzzle;
class ShapeBuilder;
struct Settings;

// Reports the progress of a long generation; created from 19 elements on.
class IProgress {
public:
    virtual ~IProgress() = default;
    virtual void begin(int low, int high, int step) = 0;
    virtual void setPosition(int position) = 0;
    virtual void end() = 0;
};

struct GenerationRequest {
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::int32_t elementSize = 64;
    CutParameters cut;
};

// The first element count that shows progress.
constexpr int progressThreshold = 19;
// Step of the progress strip: N / 19 truncated, at least 1.
int progressStep(int count);

// Builds every element of a new puzzle: random edges, turns and scatter places, then shapes and
// board regions as loading a game builds them. Forces exact assembly for square mosaic
// elements. Nothing is painted: the board's size and drawing are the caller's.
class Generator {
public:
    Generator(IRandom& random, const IClock& clock) : random_(random), clock_(clock) {}

    void generate(const GenerationRequest& request, Puzzle& puzzle, ShapeBuilder& shapes, Settings& settings,
                  IProgress* progress);

private:
    IRandom& random_;
    const IClock& clock_;
};

// Board size for a scatter grid of columns x rows squares of bitmapSize: at least the screen,
// plus what a full-screen window's frame takes, plus a margin of 50.
QSize boardSizeFor(int columns, int rows, int bitmapSize, QSize screen, QSize fullScreenClient);

// The widest or tallest screen a game is assumed to have been saved on. Elements may lie beyond
// the picture's scatter grid by about this much, no further.
constexpr int maxScreenSide = 8192;
// How far from the board's origin an element may lie, in either direction: the scatter grid of
// the cut plus a screen's worth. Saved games with elements further out are refused, so the board
// grows no larger than this on either side.
std::int64_t boardReach(int bitmapSize, int rows, int columns);
