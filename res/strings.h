#pragma once

#include <QString>

// The program's one string table: every text the player sees, by its resource number.
// Returns an empty string for a number that has no text.
QString loadString(int id);

// Number of entries, for tests that walk the table.
int stringCount();
// Id of the entry at index (0 .. stringCount() - 1, ascending ids); -1 outside that range.
int stringIdAt(int index);
