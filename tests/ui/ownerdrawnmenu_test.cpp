#include "fakes.h"
#include "res/resources.h"
#include "ui/backgroundmenu.h"
#include "ui/fullscreenmenu.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Menus {
    FakeSound sound;
    QList<int> ran;
    CBackgroundMenu background{sound, [this](int id) { ran.append(id); }, nullptr};
    CFullScreenMenu full{sound, &background, [this](int id) { ran.append(id); }, nullptr};
};

QImage drawn(const OwnerDrawnMenu& menu, QAction* action, bool highlighted) {
    const QRect rect = menu.actionGeometry(action);
    QImage image(menu.sizeHint(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    menu.drawItem(painter, action, rect, highlighted);
    return image.copy(rect);
}

int count(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += QColor(image.pixel(x, y)) == colour;
    return n;
}

// The sixteen described items, with the two sorting items after the elements' and the four
// items of the view's scale after the picture item, pause and hint and the option for blocks before
// the exit.
// On a screen lower than its 812 pixels (the tests' is 800 high) its items are as much lower as
// keeps it one column on the screen.
TEST(OwnerDrawnMenuTest, ItemsHaveTheirSizesAndTheFullMenuIs812High) {
    EXPECT_EQ(CFullScreenMenu::itemHeightFor(900), 40);
    EXPECT_EQ(CFullScreenMenu::itemHeightFor(812), 40);
    EXPECT_EQ(CFullScreenMenu::itemHeightFor(800), 39);
    EXPECT_EQ(CFullScreenMenu::itemHeightFor(768), 37);
    Menus m;
    const int check = OwnerDrawnMenu::checkMarkWidth();
    const int h = m.full.shownItemHeight();
    EXPECT_EQ(h,
              CFullScreenMenu::itemHeightFor(QGuiApplication::primaryScreen()->availableGeometry().height()));
    EXPECT_EQ(m.full.totalHeight(), 20 * h + 6 * 2);
    EXPECT_EQ(m.full.sizeHint(), QSize(250 - check, 20 * h + 12));
    const QList<QAction*> items = m.full.actions();
    ASSERT_EQ(items.size(), 26);
    int y = 0;
    for (int i = 0; i < 26; ++i) {
        const bool separator = i == 1 || i == 4 || i == 11 || i == 18 || i == 20 || i == 24;
        EXPECT_EQ(items[i]->isSeparator(), separator) << i;
        EXPECT_EQ(m.full.actionGeometry(items[i]), QRect(0, y, 250 - check, separator ? 2 : h)) << i;
        y += separator ? 2 : h;
    }
    EXPECT_EQ(items[19]->menu(), &m.background);
    EXPECT_EQ(m.full.itemText(19), QStringLiteral("Установить &Фон"));
    EXPECT_EQ(m.full.itemText(21), QStringLiteral("&Пауза"));
    EXPECT_EQ(m.full.itemText(22), QStringLiteral("По&дсказка"));
    // The option that lets the left button move blocks, a check item.
    EXPECT_EQ(m.full.itemText(23), QStringLiteral("Блок&и Левой Кнопкой"));
    EXPECT_TRUE(items[23]->isCheckable());
    EXPECT_EQ(m.full.itemText(25), QStringLiteral("В&ыход"));
    EXPECT_EQ(m.full.itemText(9), QStringLiteral("Вы&ложить Края"));
    EXPECT_EQ(m.full.itemText(10), QStringLiteral("Со&брать Россыпь"));
    const QStringList view{"&Увеличить", "Ум&еньшить", "&Масштаб 100%", "&Весь стол"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(m.full.itemText(14 + i), view[i]);
    EXPECT_EQ(m.background.sizeHint(), QSize(160 - check, 440));
    for (QAction* a : m.background.actions())
        EXPECT_EQ(m.full.actionGeometry(a).height(), 0); // none of them lies in the other menu
}

TEST(OwnerDrawnMenuTest, OpeningPlaysTheOpenSoundAndOnlyEnabledItemsClick) {
    Menus m;
    m.full.popup(QPoint(0, 0));
    EXPECT_EQ(m.sound.played, QList<QString>{QStringLiteral("wave:219")});
    m.sound.played.clear();
    QAction* save = m.full.actions()[2];
    save->setEnabled(false);
    m.full.setActiveAction(save);
    EXPECT_TRUE(m.sound.played.isEmpty());
    m.full.setActiveAction(m.full.actions()[3]);
    EXPECT_EQ(m.sound.played, QList<QString>{QStringLiteral("wave:218")});
    m.full.hide();
}

TEST(OwnerDrawnMenuTest, TypedLettersChooseItemsOfTheOpenMenu) {
    Menus m;
    m.background.popup(QPoint(0, 0));
    QTest::keyClick(&m.background, 'y');
    EXPECT_EQ(m.ran, QList<int>{32820});
    m.ran.clear();
    m.full.popup(QPoint(0, 0));
    QTest::keyClick(&m.full, 'y');
    EXPECT_EQ(m.ran, QList<int>{32801});
    m.ran.clear();
    // A disabled item is not chosen by its letter.
    m.full.popup(QPoint(0, 0));
    m.full.actions()[2]->setEnabled(false);
    QTest::keyClick(&m.full, 'c');
    EXPECT_TRUE(m.ran.isEmpty());
    m.full.hide();
}

TEST(OwnerDrawnMenuTest, AHighlightedTextureShowsOnlyItsSwatch) {
    Menus m;
    const QList<QAction*> items = m.background.actions();
    ASSERT_EQ(items.size(), 11);
    const int swatches[] = {248, 249, 241, 242, 243, 244, 239, 240, 245, 246};
    for (int i = 0; i < 10; ++i) {
        const QImage swatch = loadBitmapResource(swatches[i]).convertToFormat(QImage::Format_RGB32);
        const QImage item = drawn(m.background, items[i], true);
        const int offset = item.width() / 2 - 80; // the strip is centred on the narrower item
        for (int y = 0; y < 40; y += 3)
            for (int x = 0; x < item.width(); x += 7)
                ASSERT_EQ(item.pixel(x, y), swatch.pixel(x - offset, y)) << i << " " << x << "," << y;
        EXPECT_NE(drawn(m.background, items[i], false), item) << i;
    }
    // The solid colour has no swatch: its text on wood with a raised frame.
    const QImage solid = drawn(m.background, items[10], true);
    EXPECT_EQ(QColor(solid.pixel(0, 0)), OwnerDrawnMenu::raisedLight);
    EXPECT_EQ(QColor(solid.pixel(solid.width() - 1, 39)), OwnerDrawnMenu::raisedDark);
    EXPECT_NE(QColor(drawn(m.background, items[10], false).pixel(0, 0)), OwnerDrawnMenu::raisedLight);
}

TEST(OwnerDrawnMenuTest, DisabledFullScreenItemsHaveLightTextAndNoFrame) {
    Menus m;
    QAction* save = m.full.actions()[2];
    const QImage enabled = drawn(m.full, save, true);
    EXPECT_EQ(QColor(enabled.pixel(0, 0)), OwnerDrawnMenu::raisedLight);
    save->setEnabled(false);
    const QImage disabled = drawn(m.full, save, true);
    EXPECT_NE(QColor(disabled.pixel(0, 0)), OwnerDrawnMenu::raisedLight);
    save->setEnabled(true);
    const QImage plain = drawn(m.full, save, false);
    EXPECT_GT(count(disabled, OwnerDrawnMenu::disabledTextColor),
              count(plain, OwnerDrawnMenu::disabledTextColor) + 20);
    EXPECT_GT(count(plain, OwnerDrawnMenu::textColor), count(disabled, OwnerDrawnMenu::textColor) + 20);
    // A separator is a dark line over a light one.
    const QImage separator = drawn(m.full, m.full.actions()[1], false);
    EXPECT_EQ(QColor(separator.pixel(5, 0)), OwnerDrawnMenu::separatorDark);
    EXPECT_EQ(QColor(separator.pixel(5, 1)), OwnerDrawnMenu::separatorLight);
}

} // namespace
