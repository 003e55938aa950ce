#pragma once

#include "model/rect.h"

#include <cstdint>
#include <vector>

// What the rules changed on the table since the view last looked: the elements that moved,
// turned, were joined or separated, raised, lifted off or put back, and any further board
// areas. The rules only say so; the view redraws where each such element was last drawn and
// where it is now, so a rule needs to know nothing about drawing, nor its tests about pixels.
class BoardChanges {
public:
    // Element i changed in any way that shows: its place, its turn, its shape, its joins, its
    // place in the stacking order or whether it lies on the table.
    void element(int i) { elements_.push_back(i); }
    void elements(const std::vector<std::int32_t>& list) {
        elements_.insert(elements_.end(), list.begin(), list.end());
    }
    // A board area changed (the board grew, for instance).
    void area(const Rect& boardRect) {
        if (!boardRect.isEmpty())
            areas_.push_back(boardRect);
    }
    // The stacking order changed; the elements whose order shows are named as well.
    void restacked() { restacked_ = true; }

    bool empty() const { return elements_.empty() && areas_.empty() && !restacked_; }
    const std::vector<std::int32_t>& changedElements() const { return elements_; }
    const std::vector<Rect>& changedAreas() const { return areas_; }
    bool stackingChanged() const { return restacked_; }
    void clear() {
        elements_.clear();
        areas_.clear();
        restacked_ = false;
    }

private:
    std::vector<std::int32_t> elements_;
    std::vector<Rect> areas_;
    bool restacked_ = false;
};
