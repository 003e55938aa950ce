#include "res/strings.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace {

struct StringEntry {
    int id;
    const char* text; // UTF-8
};

// Sorted by id (checked below), so that a lookup is a binary search. Texts are stored exactly as the
// player sees them: trailing blanks and line feeds are part of them, and the printf-style parts are
// left for the callers to fill in.
constexpr StringEntry kStrings[] = {
    {102, "Формат     %s\n"
          "\n"
          "Ширина      %d\n"
          "\n"
          "Высота      %d\n"
          "\n"
          "Цвет          %d-бит"},
    // Default caption of the progress dialog; the same words as its template's title.
    {114, "Секундочку..."},
    {115, "Загрузить Картинку "},
    {116, "Генерация элементов..."},
    {117, "Выберите Цвет Контура"},
    {118, "Выберите Цвет Фона"},
    // The picture dialog's type for every picture the game reads; the caller fills in the patterns.
    {120, "Все картинки (%s)"},
    {32771, "З&агрузить Картинку..."},
    {32772, "&Разрезка Картинки..."},
    {32773, "Нас&тройки..."},
    {32774, "Создать &Элементы"},
    {32775, "Показать &Картинку"},
    {32776, "Спрятать &Картинку"},
    {32777, "П&олноэкранный Режим"},
    {32778, "&Оконный Режим"},
    {32779, "Установить &Фон"},
    {32799, "&Сохранить Игру..."},
    {32800, "&Загрузить Игру..."},
    {32801, "&Новая Игра..."},
    {32810, "&Дерево"},
    {32811, "Д&ерево +"},
    {32812, "&Известняк"},
    {32813, "И&звестняк +"},
    {32814, "&Розовый"},
    {32815, "Р&озовый +"},
    {32816, "Д&уб"},
    {32817, "Ду&б +"},
    {32818, "&Штукатурка"},
    {32819, "Ш&тукатурка +"},
    {32820, "Од&нотонный..."},
    {32821, "Ошибка при попытке удалить файл \"%s\". Удалите его вручную. "},
    {32822, "Слишком много сохраненных игр. Удалите одну из них, чтобы сохранить текущую."},
    {32823, "Заменить существующую игру?"},
    {32824, "Ошибка при открытии файла %s.\n"
            "Неизвестный формат."},
    // Kept as the program has always shown it, blank before the full stop included.
    {32825, "Ошибка при открытии файла %s.\n"
            "Возможно, файл поврежден ."},
    {32826, "Возникла ошибка при сохранении игры."},
    {32827, "Возникла ошибка при повороте картинки."},
    {32828, "Создать новую игру?"},
    {32829, "Недостаточно памяти."},
    {32830, "Выйти из игры?"},
    {32831, "Возникла ошибка при загрузке игры!\n"
            "Не удается открыть файл %s. Неизвестный формат."},
    {32832, "Введите положительное число."},
    {32833, "Введите неотрицательное число."},
    {32834, "Возникла ошибка при попытке изменить настройки дисплея.\n"
            "Не удается установить полноэкранный режим."},
    {32835, "Для квадратных элементов определен только точный тип сборки."},
    {32838, "Слишком много элементов. В игре может быть не больше %1 элементов: выберите элементы "
            "крупнее или уменьшите число колонок и рядов."},
    {32840, "Недопустимое имя игры. Имя не может быть пустым или длиннее 64 знаков, начинаться или "
            "кончаться пробелом, кончаться точкой, содержать \"..\" и знаки \\ / : * ? \" < > |."},
    {57665, "В&ыход"},
    {57666, "Перезагрузите картинку для правильной работы программы. "},
    {57667, "Перезагрузите картинку и создайте элементы заново для правильной работы программы. "},
    {57668, "Текущий режим дисплея: %d x %d (%d бит на пиксел).\n"
            "Данная программа рассчитана на режимы, использующие больше 8-ми бит на пиксел. Программа не "
            "будет работать корректно в текущем режиме.\n"
            "Продолжить в любом случае?\n"},
    // 57669-57673 are the layouts of the saved-game text file, not texts for the player.
    {57669, "%u %u %u %d %d %d %d %d %d %d %d %d %d %d %d %d %d\n"},
    {57670, "\n"
            "[MAINFRAME]\n"
            "%d %d\n"
            "%d %d\n"
            "%d %d\n"
            "%d %d %u %d %d %d\n"},
    {57671, "%d %d %d\n"
            "%d %d %d %d\n"
            "%d %d %d %d\n"
            "%d %d %d %d\n"},
    {57672, " %u %u %u %d %d %d %d %d %d %d %d %d %d %d %d %d %d"},
    {57673, " [MAINFRAME] %d %d %d %d %d %d %d %d %u %d %d %d"},
    {57675, "колонка: %d"},
    {57676, "ряд\n"
            "колонка"},
    {57677, "&ширина    %d"},
    {57678, "&высота   %d"},
    {57679, "ширина картинки   %d"},
    {57680, "высота картинки   %d"},
    {57681, "ПАУЗА"},
};

constexpr bool sortedWithoutRepeats() {
    for (std::size_t i = 1; i < std::size(kStrings); ++i) {
        if (kStrings[i - 1].id >= kStrings[i].id)
            return false;
    }
    return true;
}
static_assert(sortedWithoutRepeats(), "the string table must be sorted by id, each id once");

} // namespace

QString loadString(int id) {
    const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                     [](const StringEntry& e, int v) { return e.id < v; });
    if (it == std::end(kStrings) || it->id != id)
        return {};
    return QString::fromUtf8(it->text);
}

int stringCount() {
    return static_cast<int>(std::size(kStrings));
}

int stringIdAt(int index) {
    if (index < 0 || index >= stringCount())
        return -1;
    return kStrings[index].id;
}
