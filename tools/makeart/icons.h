#pragma once

#include <QImage>

namespace makeart {

// The program's icon: one jigsaw piece, drawn for the given square size.
QImage programIcon(int size);

// Hint cursor, 32 × 32: an arrow with a question mark. Its hot spot is the arrow's tip. With
// `scale`, the same cursor with that many pixels to each of its own (hot spot in its pixels).
QImage hintCursor(int& hotX, int& hotY, int scale = 1);

} // namespace makeart
