#pragma once

#include <QString>

// The program's one string table: every text the player sees, by its resource number.
// Returns an empty string for a number that has no text.
QString loadString(int id);

// Number of entries, for tests that walk the table.
int stringCount();
int stringIdAt(int index);
