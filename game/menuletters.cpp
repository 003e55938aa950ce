#include "game/menuletters.h"

#include <QString>

namespace {
struct LetterItem {
    const char* cyrillic; // UTF-8, one letter
    char latin;
    int item;
};

constexpr LetterItem fullScreenLetters[] = {
    {"н", 'y', 0},  {"с", 'c', 2},  {"з", 'p', 3},  {"а", 'f', 5},  {"р", 'h', 6},
    {"т", 'n', 7},  {"э", '\'', 8}, {"л", 'k', 9},  {"б", ',', 10}, {"о", 'j', 12},
    {"к", 'r', 13}, {"у", 'e', 14}, {"е", 't', 15}, {"м", 'v', 16}, {"в", 'd', 17},
    {"ф", 'a', 19}, {"п", 'g', 21}, {"д", 'l', 22}, {"и", 'b', 23}, {"ы", 's', 25},
};

constexpr LetterItem backgroundLetters[] = {
    {"д", 'l', 0}, {"е", 't', 1}, {"и", 'b', 2}, {"з", 'p', 3}, {"р", 'h', 4},  {"о", 'j', 5},
    {"у", 'e', 6}, {"б", ',', 7}, {"ш", 'i', 8}, {"т", 'n', 9}, {"н", 'y', 10},
};

template <std::size_t N> int lookUp(const LetterItem (&table)[N], QChar letter) {
    for (const LetterItem& entry : table)
        if (letter == QString::fromUtf8(entry.cyrillic).at(0) || letter == QLatin1Char(entry.latin))
            return entry.item;
    return -1;
}
} // namespace

int menuItemForLetter(OwnerMenu menu, QChar letter) {
    return menu == OwnerMenu::FullScreen ? lookUp(fullScreenLetters, letter)
                                         : lookUp(backgroundLetters, letter);
}
