#pragma once

#include <QImage>

namespace makeart {

// Sample pictures to cut into puzzles: rich in colour and detail, so that pieces can be told
// apart, and different in character (soft landscape, hard-edged glass, night lights).
QImage lakeLandscape(int width, int height);
QImage stainedGlass(int width, int height);
QImage sunsetSkyline(int width, int height);

} // namespace makeart
