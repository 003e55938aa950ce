#pragma once

#include <QChar>

// The two wooden menus whose items are chosen by typed letters.
enum class OwnerMenu { FullScreen, Background };

// The item a typed character chooses in the menu: the lower-case Cyrillic letter of the item, or
// the lower-case Latin character on the same key of a Russian/Latin keyboard. -1 when the
// character chooses nothing there.
int menuItemForLetter(OwnerMenu menu, QChar letter);
