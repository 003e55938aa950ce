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
    // Elements that went up the stacking order and changed in nothing else: the view redraws
    // them only where they overlap an element whose order against them changed, so raising a
    // block of tens of thousands that lies on nothing redraws nothing.
    void raised(int i) { raised_.push_back(i); }
    void raised(const std::vector<std::int32_t>& list) {
        raised_.insert(raised_.end(), list.begin(), list.end());
    }
    // A board area changed (the board grew, for instance).
    void area(const Rect& boardRect) {
        if (!boardRect.isEmpty())
            areas_.push_back(boardRect);
    }
    // The stacking order changed; the elements whose order shows are named as well, as changed
    // or as raised.
    void restacked() { restacked_ = true; }

    bool empty() const { return elements_.empty() && raised_.empty() && areas_.empty() && !restacked_; }
    const std::vector<std::int32_t>& changedElements() const { return elements_; }
    const std::vector<std::int32_t>& raisedElements() const { return raised_; }
    const std::vector<Rect>& changedAreas() const { return areas_; }
    bool stackingChanged() const { return restacked_; }
    void clear() {
        elements_.clear();
        raised_.clear();
        areas_.clear();
        restacked_ = false;
    }

private:
    std::vector<std::int32_t> elements_;
    std::vector<std::int32_t> raised_;
    std::vector<Rect> areas_;
    bool restacked_ = false;
};
