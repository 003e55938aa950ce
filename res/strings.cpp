#include "res/strings.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

struct StringEntry {
    int id;
    const char* text; // UTF-8
};

// Sorted by id.
constexpr StringEntry kStrings[] = {
    {32775, "Показать &Картинку"},
    {32776, "Спрятать &Картинку"},
    {32777, "П&олноэкранный Режим"},
    {32778, "&Оконный Режим"},
    {57668, "Текущий режим дисплея: %d x %d (%d бит на пиксел).\nДанная программа рассчитана на режимы, "
            "использующие больше 8-ми бит на пиксел. Программа не будет работать корректно в текущем режиме.\n"
            "Продолжить в любом случае?\n"},
};

} // namespace

QString loadString(int id) {
    const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                     [](const StringEntry& e, int v) { return e.id < v; });
    if (it == std::end(kStrings) || it->id != id)
        return {};
    return QString::fromUtf8(it->text);
}

int stringCount() { return static_cast<int>(std::size(kStrings)); }

int stringIdAt(int index) { return kStrings[index].id; }
