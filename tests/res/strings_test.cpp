#include "res/strings.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QStringList>

#include <climits>

#include <gtest/gtest.h>

namespace {

TEST(StringTable, IdsAscendWithoutRepeatsAndEveryEntryHasText) {
    ASSERT_GT(stringCount(), 0);
    for (int i = 0; i < stringCount(); ++i) {
        if (i > 0) {
            EXPECT_LT(stringIdAt(i - 1), stringIdAt(i)) << "at index " << i;
        }
        EXPECT_FALSE(loadString(stringIdAt(i)).isEmpty()) << "id " << stringIdAt(i);
    }
    EXPECT_EQ(stringIdAt(-1), -1);
    EXPECT_EQ(stringIdAt(stringCount()), -1);
}

TEST(StringTable, UnknownIdsGiveEmptyText) {
    // Neighbours of real entries, ids that only name menu items, and the extremes.
    for (int id : {0,     -1,    1,     101,   103,   113,   119,   32770, 32780,   32798,  32802,
                   32806, 32809, 32836, 32899, 32920, 57664, 57674, 57682, INT_MIN, INT_MAX}) {
        EXPECT_TRUE(loadString(id).isEmpty()) << "id " << id;
    }
}

struct ExactText {
    int id;
    const char* utf8;
};

// Blanks, line feeds and quote marks are part of these texts; a dropped or added one shows on screen.
TEST(StringTable, TextsMatchToTheByte) {
    const ExactText cases[] = {
        {57668, "Текущий режим дисплея: %d x %d (%d бит на пиксел).\nДанная программа рассчитана на режимы, "
                "использующие больше 8-ми бит на пиксел. Программа не будет работать корректно в текущем "
                "режиме.\nПродолжить в любом случае?\n"},
        {57667, "Перезагрузите картинку и создайте элементы заново для правильной работы программы. "},
        {57666, "Перезагрузите картинку для правильной работы программы. "},
        {115, "Загрузить Картинку "},
        {32821, "Ошибка при попытке удалить файл \"%s\". Удалите его вручную. "},
        {32825, "Ошибка при открытии файла %s.\nВозможно, файл поврежден ."},
        {102, "Формат     %s\n\nШирина      %d\n\nВысота      %d\n\nЦвет          %d-бит"},
        {57677, "&ширина    %d"},
        {57678, "&высота   %d"},
        {57676, "ряд\nколонка"},
        {57681, "ПАУЗА"},
        {32811, "Д&ерево +"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(loadString(c.id).toUtf8(), QByteArray(c.utf8)) << "id " << c.id;
}

// Menus draw these by command id; each needs its text and exactly one mnemonic.
TEST(StringTable, MenuCommandTextsHaveOneMnemonic) {
    QList<int> ids{32771, 32772, 32773, 32774, 32775, 32776, 32777, 32778, 32779, 32799,
                   32800, 32801, 32940, 32941, 32942, 32943, 32950, 32951, 57665};
    for (int id = 32810; id <= 32820; ++id)
        ids.append(id);
    for (int id : ids) {
        const QString text = loadString(id);
        EXPECT_EQ(text.count(QLatin1Char('&')), 1) << "id " << id << ": " << text.toStdString();
        EXPECT_FALSE(text.contains(QLatin1Char('\t'))) << "id " << id;
    }
}

QStringList placeholders(const QString& text) {
    static const QRegularExpression re(QStringLiteral("%[0-9]*[a-z]"));
    QStringList found;
    for (auto it = re.globalMatch(text); it.hasNext();)
        found.append(it.next().captured());
    return found;
}

// Callers fill these in with a fixed list of values, so the placeholders must stay as they are.
TEST(StringTable, PlaceholdersMatchWhatCallersPass) {
    const QStringList oneD{QStringLiteral("%d")};
    const QStringList oneS{QStringLiteral("%s")};
    struct Case {
        int id;
        QStringList expected;
    };
    const Case cases[] = {
        {57668, {"%d", "%d", "%d"}},
        {102, {"%s", "%d", "%d", "%d"}},
        {120, oneS},
        {32821, oneS},
        {32824, oneS},
        {32825, oneS},
        {32831, oneS},
        {57675, oneD},
        {57677, oneD},
        {57678, oneD},
        {57679, oneD},
        {57680, oneD},
        {57670, {"%d", "%d", "%d", "%d", "%d", "%d", "%d", "%d", "%u", "%d", "%d", "%d"}},
        {57671, QStringList(15, QStringLiteral("%d"))},
        {32828, {}},
        {32830, {}},
        {57676, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(placeholders(loadString(c.id)), c.expected) << "id " << c.id;

    // The settings line is written and read with the same 17 values in the same order.
    const QStringList settingsWritten = placeholders(loadString(57669));
    EXPECT_EQ(settingsWritten.size(), 17);
    EXPECT_EQ(placeholders(loadString(57672)), settingsWritten);
}

// The records window fills its texts with QString::arg: each of %1 .. %n exactly once.
TEST(StringTable, RecordsWindowTextsTakeTheirArguments) {
    static const QRegularExpression re(QStringLiteral("%([0-9]+)"));
    for (int id = 32900; id <= 32919; ++id) {
        const int expected = id == 32906                                   ? 3
                             : id == 32918                                 ? 2
                             : (id == 32916 || id == 32917 || id == 32919) ? 1
                                                                           : 0;
        QStringList found;
        for (auto it = re.globalMatch(loadString(id)); it.hasNext();)
            found.append(it.next().captured(1));
        found.sort();
        QStringList wanted;
        for (int n = 1; n <= expected; ++n)
            wanted.append(QString::number(n));
        EXPECT_EQ(found, wanted) << "id " << id;
    }
}

} // namespace
