#include "ui/controlsdialog.h"

#include "res/stringids.h"
#include "res/strings.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace {

const char* const kTitle = "Управление";
const char* const kEmpty = "——";

struct Row {
    const char* action;
    const char* mouse;
    const char* keyboard;
};

// Mouse and keyboard, one row per action; "——" marks an empty cell.
const Row kTable[] = {
    {"Перетаскивание элемента", "Левая", kEmpty},
    {"Отделение элемента от блока", "Правая", "Shift + Левая"},
    {"Вращение элемента по ч/с", "Двойной щелчок правой", kEmpty},
    {"Вращение элемента против ч/с", "Двойной щелчок левой", kEmpty},
    {"Перемещение блока", "Левая + Правая", "Ctrl + Левая"},
    {"Вращение блока по ч/с", kEmpty, "Ctrl + Двойной щелчок правой"},
    // The last letter is the Latin c, as it has always been on this card.
    {"Вращение блока против ч/c", kEmpty, "Ctrl + Двойной щелчок левой"},
    // The view's scale, beside the card's own rows.
    {"Масштаб у курсора", kEmpty, "Ctrl + колесо"},
    {"Весь стол / 100% у курсора", "Средняя", kEmpty},
    // Several elements at once.
    {"Выделение рамкой", "Левая по столу", "Ctrl + Левая по столу"},
    {"Выделить / снять элемент", kEmpty, "Ctrl + щелчок левой"},
    {"Перемещение выделенного", "Левая", kEmpty},
};

struct Key {
    const char* action;
    const char* key;
    int lines;
};

const Key kLeftKeys[] = {
    {"Управление", "F1", 1},
    {"Сохранение игры", "F2", 1},
    {"Загрузка игры", "F3", 1},
    {"Вызов основного меню в полноэкранном режиме", "F10", 2},
    {"Весь стол / прежний вид", "Z", 1},
};

const Key kRightKeys[] = {
    {"Режим подсказки", "H", 1},
    {"Пауза", "Pause", 1},
    {"Прокрутка клиентской части главного окна", "Клавиши курсора", 2},
    {"Увеличить / уменьшить", "Ctrl + + / −", 1},
    {"Масштаб 100%", "Ctrl + 0", 1},
    // Sorting the elements.
    {"Выложить края", "Ctrl + E", 1},
    {"Собрать россыпь", "Ctrl + G", 1},
    {"Снять выделение", "Esc", 1},
};

template <std::size_t N> constexpr int linesOf(const Key (&keys)[N]) {
    int lines = 0;
    for (const Key& key : keys)
        lines += key.lines;
    return lines;
}

// Columns of the table, in dialog units: left edge and width.
constexpr int kActionX = 7, kActionW = 114;
constexpr int kMouseX = 124, kMouseW = 90;
constexpr int kKeyboardX = 217, kKeyboardW = 109;
constexpr int kRowH = 10;
// Below the table: the etched line, then the keys in two columns as long as the longer one.
constexpr int kTableY = 21;
constexpr int kKeysY = kTableY + kRowH * int(std::size(kTable)) + 7;
constexpr int kKeysH = std::max(linesOf(kLeftKeys), linesOf(kRightKeys)) * kRowH;
// The line about the menus below the keys.
constexpr int kNoteH = kRowH + 3;

} // namespace

CControlsDialog::CControlsDialog(QWidget* parent) : CSkinDialog(templateId, parent) {
    setWindowTitle(QString::fromUtf8(kTitle));
    setDialogSize(333, kKeysY + kKeysH + 25 + kNoteH);

    addStatic(-1, QString::fromUtf8("ДЕЙСТВИЕ"), QRect(kActionX, 7, kActionW, 10), Centred | Sunken);
    addStatic(-1, QString::fromUtf8("КНОПКИ МЫШИ"), QRect(kMouseX, 7, kMouseW, 10), Centred | Sunken);
    addStatic(-1, QString::fromUtf8("КЛАВИАТУРА + МЫШЬ"), QRect(kKeyboardX, 7, kKeyboardW, 10),
              Centred | Sunken);
    int y = kTableY;
    for (const Row& row : kTable) {
        addStatic(-1, QString::fromUtf8(row.action), QRect(kActionX, y, kActionW, kRowH));
        addStatic(-1, QString::fromUtf8(row.mouse), QRect(kMouseX, y, kMouseW, kRowH), Centred);
        addStatic(-1, QString::fromUtf8(row.keyboard), QRect(kKeyboardX, y, kKeyboardW, kRowH), Centred);
        y += kRowH;
    }

    addEtchedLine(QRect(7, kKeysY - 5, 319, 1), Qt::Horizontal);
    addEtchedLine(QRect(164, kKeysY - 1, 1, kKeysH), Qt::Vertical);
    y = kKeysY;
    for (const Key& key : kLeftKeys) {
        addStatic(-1, QString::fromUtf8(key.action), QRect(7, y, 120, kRowH * key.lines));
        addStatic(-1, QString::fromUtf8(key.key), QRect(130, y, 28, kRowH), Centred);
        y += kRowH * key.lines;
    }
    y = kKeysY;
    for (const Key& key : kRightKeys) {
        addStatic(-1, QString::fromUtf8(key.action), QRect(170, y, 100, kRowH * key.lines));
        addStatic(-1, QString::fromUtf8(key.key), QRect(272, y, 54, kRowH * key.lines), Centred);
        y += kRowH * key.lines;
    }

    // What the menus add to the keys, below them.
    addStatic(-1, loadString(Str::ControlsMenuNote), QRect(7, kKeysY + kKeysH + 3, 319, kRowH), Centred);
    addButton(1, QStringLiteral("OK"), QRect(141, kKeysY + kKeysH + 4 + kNoteH, 50, 14));
}
