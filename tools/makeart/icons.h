#pragma once

#include <QImage>

namespace makeart {

// The program's icon: one jigsaw piece, drawn for the given square size.
QImage programIcon(int size);

// Hint cursor, 32 × 32: an arrow with a question mark. Its hot spot is the arrow's tip.
QImage hintCursor(int& hotX, int& hotY);

} // namespace makeart
