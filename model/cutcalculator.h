#pragma once

#include <array>
#include <cstdint>

// The arithmetic of the cut dialog: picture size, element size, columns and rows kept consistent
// while the player types. The dialog only moves values between this and its controls.
class CutCalculator {
public:
    static constexpr int sizeCount = 25;
    // The most elements a cut may make: every game up to it saves and loads again. The largest
    // jigsaws ever printed have 54,000 pieces (180 x 300).
    static constexpr int maxElements = 60000;
    // 16, 24, ..., 96, then 112, 128, ..., 320.
    static constexpr int sizeAt(int index) { return index <= 10 ? 16 + 8 * index : 96 + 16 * (index - 10); }
    // Index of the first list entry whose value is not below s, stopping at the first value above
    // it; -1 when no entry equals s (the selection is then left empty).
    static int selectionFor(int s);

    // The nearest integer with halves going up, from a floating-point quotient; quotients beyond
    // the range of int (typed sizes can be that large) end at its limits.
    static int nearest(double q);

    // Opening: width and height of the picture, the size last chosen (or the game's size).
    void open(int width, int height, int lastSize);

    void widthEdited(int width);
    void heightEdited(int height);
    void sizeChosen(int size);
    // The values as the dialog's fields hold them, taken over without any recomputation.
    void setValues(int width, int height, int columns, int rows) {
        width_ = width;
        height_ = height;
        columns_ = columns;
        rows_ = rows;
    }
    void columnsEdited(int columns) { columns_ = columns; }
    void setKeepRatio(bool keep) { keepRatio_ = keep; }

    int width() const { return width_; }
    int height() const { return height_; }
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    int elementSize() const { return elementSize_; }
    bool keepRatio() const { return keepRatio_; }
    // In 64 bits: typed counts times the element size may pass the range of int.
    std::int64_t resultWidth() const { return std::int64_t(columns_) * elementSize_; }
    std::int64_t resultHeight() const { return std::int64_t(rows_) * elementSize_; }

    // Which of the preview bitmaps shows the chosen shape options.
    static int previewBitmap(bool mosaic, bool squareBase, bool shiftKnobs);

private:
    void recount();

    int width_ = 0;
    int height_ = 0;
    int columns_ = 0;
    int rows_ = 0;
    int elementSize_ = 0;
    bool keepRatio_ = true;
    float aspectRatio_ = 1.0f;
};
