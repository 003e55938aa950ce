#include "model/settings.h"

#include <algorithm>

namespace {
bool inRange(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}
bool isFlag(int v) {
    return v == 0 || v == 1;
}
} // namespace

bool Settings::isValid() const {
    if (!isFlag(threeD) || !isFlag(scrollEnabled) || !isFlag(showTimer) || !isFlag(exactAssembly))
        return false;
    if (threeD ? !inRange(outlineThickness, minOutline, maxOutline) : outlineThickness != 0)
        return false;
    return inRange(captureArea, minCaptureArea, maxCaptureArea) &&
           inRange(scrollArea, minScrollArea, maxScrollArea) &&
           inRange(mouseScrollSpeed, minMouseScrollSpeed, maxMouseScrollSpeed) && keyScrollSpeed >= 0 &&
           outlineColor.isValid();
}

void Settings::normalise() {
    auto flag = [](std::int32_t& v) { v = v ? 1 : 0; };
    flag(threeD);
    flag(scrollEnabled);
    flag(showTimer);
    flag(exactAssembly);
    outlineThickness = threeD ? std::clamp(outlineThickness, minOutline, maxOutline) : 0;
    captureArea = std::clamp(captureArea, minCaptureArea, maxCaptureArea);
    scrollArea = std::clamp(scrollArea, minScrollArea, maxScrollArea);
    mouseScrollSpeed = std::clamp(mouseScrollSpeed, minMouseScrollSpeed, maxMouseScrollSpeed);
    keyScrollSpeed = std::max(keyScrollSpeed, 0);
    if (!outlineColor.isValid())
        outlineColor = QColor(128, 128, 128);
}
