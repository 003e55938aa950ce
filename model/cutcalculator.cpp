#include "model/cutcalculator.h"

#include <cmath>
#include <limits>

int CutCalculator::nearest(double q) {
    if (!std::isfinite(q))
        return 0;
    const double n = std::trunc(q);
    const double r = q - n >= 0.5 ? n + 1 : n;
    if (r >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

int CutCalculator::selectionFor(int s) {
    for (int i = 0; i < sizeCount; ++i) {
        if (sizeAt(i) > s)
            return -1;
        if (sizeAt(i) == s)
            return i;
    }
    return -1;
}

void CutCalculator::open(int width, int height, int lastSize) {
    keepRatio_ = true;
    width_ = width;
    height_ = height;
    const int sel = selectionFor(lastSize);
    // A size outside the list leaves no selection; the dialog still needs a divisor.
    elementSize_ = sel >= 0 ? sizeAt(sel) : (lastSize > 0 ? lastSize : 64);
    recount();
    aspectRatio_ = height_ != 0 ? static_cast<float>(static_cast<double>(width_) / height_) : 1.0f;
}

void CutCalculator::recount() {
    rows_ = nearest(static_cast<double>(height_) / elementSize_);
    columns_ = nearest(static_cast<double>(width_) / elementSize_);
}

void CutCalculator::widthEdited(int width) {
    width_ = width;
    if (keepRatio_)
        height_ = nearest(width_ / static_cast<double>(aspectRatio_));
    recount();
}

void CutCalculator::heightEdited(int height) {
    height_ = height;
    if (keepRatio_)
        width_ = nearest(height_ * static_cast<double>(aspectRatio_));
    recount();
}

void CutCalculator::sizeChosen(int size) {
    if (size <= 0)
        return;
    elementSize_ = size;
    recount();
}

int CutCalculator::previewBitmap(bool mosaic, bool squareBase, bool shiftKnobs) {
    if (mosaic)
        return squareBase ? 319 : (shiftKnobs ? 317 : 318);
    if (squareBase)
        return shiftKnobs ? 320 : 316;
    return shiftKnobs ? 315 : 321;
}
