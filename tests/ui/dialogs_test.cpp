#include "app/mainframe.h"
#include "fakes.h"
#include "ui/aboutdialog.h"
#include "ui/controlsdialog.h"
#include "ui/helpwindow.h"
#include "ui/skin.h"
#include "ui/skinbutton.h"
#include "ui/splashwnd.h"

#include <QFrame>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

QStringList labelTexts(const QWidget& dialog) {
    QStringList texts;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        texts.append(label->text());
    return texts;
}

TEST(AboutDialogTest, LetteringCentredAtTheTopAndTheVersionBelow) {
    CAboutDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("О Программе"));
    EXPECT_EQ(dialog.size(), QSize(Skin::dluX(157), Skin::dluY(154)));
    EXPECT_EQ(dialog.letteringPos(), QPoint((dialog.width() - 214) / 2, 0));
    EXPECT_TRUE(labelTexts(dialog).contains(QStringLiteral("Версия 1.8 Test")));
    ASSERT_NE(dialog.itemAs<CSkinButton>(1), nullptr);
    EXPECT_EQ(dialog.itemAs<CSkinButton>(1)->text(), QStringLiteral("OK"));

    // What the paint handler puts at the top is bitmap 273 itself.
    const QImage image = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage lettering = Skin::bitmap(273).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(lettering.size(), QSize(214, 91));
    EXPECT_EQ(image.copy(QRect(dialog.letteringPos(), lettering.size())), lettering);
}

TEST(ControlsDialogTest, CardHoldsEveryTextExactlyAsQuoted) {
    CControlsDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Управление"));
    // The described card, the rows of the view's scale, of sorting and of the selection, the menus' line.
    EXPECT_EQ(dialog.size(), QSize(500, 449));
    const QStringList expected = {
        "ДЕЙСТВИЕ",
        "КНОПКИ МЫШИ",
        "КЛАВИАТУРА + МЫШЬ",
        "Перетаскивание элемента",
        "Левая",
        "——",
        "Отделение элемента от блока",
        "Правая",
        "Shift + Левая",
        "Вращение элемента по ч/с",
        "Двойной щелчок правой",
        "——",
        "Вращение элемента против ч/с",
        "Двойной щелчок левой",
        "——",
        "Перемещение блока",
        "Левая + Правая",
        "Ctrl + Левая",
        "Вращение блока по ч/с",
        "——",
        "Ctrl + Двойной щелчок правой",
        "Вращение блока против ч/c",
        "——",
        "Ctrl + Двойной щелчок левой",
        "Масштаб у курсора",
        "——",
        "Ctrl + колесо",
        "Весь стол / 100% у курсора",
        "Средняя",
        "——",
        "Выделение рамкой",
        "Левая по столу",
        "Ctrl + Левая по столу",
        "Выделить / снять элемент",
        "——",
        "Ctrl + щелчок левой",
        "Перемещение выделенного",
        "Левая",
        "——",
        "Управление",
        "F1",
        "Сохранение игры",
        "F2",
        "Загрузка игры",
        "F3",
        "Вызов основного меню в полноэкранном режиме",
        "F10",
        "Весь стол / прежний вид",
        "Z",
        "Режим подсказки",
        "H",
        "Пауза",
        "Pause",
        "Прокрутка клиентской части главного окна",
        "Клавиши курсора",
        "Увеличить / уменьшить",
        "Ctrl + + / −",
        "Масштаб 100%",
        "Ctrl + 0",
        "Выложить края",
        "Ctrl + E",
        "Собрать россыпь",
        "Ctrl + G",
        "Снять выделение",
        "Esc",
        "Пауза и подсказка есть и в меню «Действия», лучшие времена — в меню «Игра»."};
    EXPECT_EQ(labelTexts(dialog), expected);
    // The last row's "c" is the Latin letter; the one above it the Cyrillic "с".
    EXPECT_TRUE(expected[21].endsWith(QLatin1Char('c')));
    EXPECT_TRUE(expected[18].endsWith(QChar(0x0441)));

    int sunken = 0;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        sunken += label->frameShadow() == QFrame::Sunken && label->frameShape() != QFrame::NoFrame;
    EXPECT_EQ(sunken, 3);
    int lines = 0;
    for (QFrame* frame : dialog.findChildren<QFrame*>())
        lines += frame->frameShape() == QFrame::HLine || frame->frameShape() == QFrame::VLine;
    EXPECT_EQ(lines, 2);

    // Every text fits its place on the card in the dialog's font.
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        const QRect needed =
            label->fontMetrics().boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text());
        EXPECT_LE(needed.height(), label->contentsRect().height()) << label->text().toStdString();
        EXPECT_LE(label->geometry().right(), dialog.width() - 1) << label->text().toStdString();
    }
}

TEST(SplashTest, PlacedAboveTheCentreOfTheScreen) {
    EXPECT_EQ(CSplashWnd::placeOnScreen(QSize(1024, 768)), QPoint(405, 232));
    EXPECT_EQ(CSplashWnd::placeOnScreen(QSize(800, 600)), QPoint(293, 148));
    CSplashWnd splash(nullptr, QSize(1024, 768));
    EXPECT_EQ(splash.size(), QSize(214, 177));
    EXPECT_EQ(splash.pos(), QPoint(405, 232));
}

TEST(SplashTest, TitleOpensFromTheMiddleThenTheBylineFromTheTop) {
    CSplashWnd splash(nullptr, QSize(1024, 768));
    const QImage title = Skin::bitmap(273).convertToFormat(QImage::Format_RGB32);
    const QImage byline = Skin::bitmap(275).convertToFormat(QImage::Format_RGB32);
    QList<int> waits;
    QImage afterSixtyColumns, afterTwentyRows;
    splash.play([&](int ms) {
        waits.append(ms);
        // Wait number n (from 1) of a stage comes before its step n - 1, after step n - 2.
        if (waits.size() == 62)
            afterSixtyColumns = splash.canvas();
        if (waits.size() == 108 + 1 + 22)
            afterTwentyRows = splash.canvas();
    });
    ASSERT_EQ(waits.size(), 108 + 1 + 107);
    EXPECT_EQ(waits.count(15), 108);
    EXPECT_EQ(waits.count(500), 1);
    EXPECT_EQ(waits.count(30), 107);
    EXPECT_EQ(waits[108], 500);

    // After sixty steps the title's sixty leftmost columns stand left of the middle and its
    // sixty rightmost columns right of it (not where they end up).
    EXPECT_EQ(afterSixtyColumns.copy(47, 0, 60, 91), title.copy(0, 0, 60, 91));
    EXPECT_EQ(afterSixtyColumns.copy(107, 0, 60, 91), title.copy(154, 0, 60, 91));
    EXPECT_NE(title.copy(0, 0, 60, 91), title.copy(47, 0, 60, 91)) << "the lettering should tell them apart";
    // At the end the whole title is in place and the byline below it.
    EXPECT_EQ(splash.canvas().copy(0, 0, 214, 91), title);
    EXPECT_EQ(afterTwentyRows.copy(33, 100, 149, 20), byline.copy(0, 0, 149, 20));
    EXPECT_EQ(splash.canvas().copy(33, 100, 149, 77), byline);

    // The animation flag is cleared: painting it again does nothing.
    waits.clear();
    splash.play([&](int ms) { waits.append(ms); });
    EXPECT_TRUE(waits.isEmpty());
}

class FrameDialogsTest : public testing::Test {
protected:
    FakeServices fakes;
    CMainFrame frame{fakes.services()};
    int splashWaits = 0;
    void SetUp() override {
        frame.setSplashWaiter([this](int) { ++splashWaits; });
    }
};

TEST_F(FrameDialogsTest, SplashOnceAtCreationAndOnEveryCtrlS) {
    frame.onCreate();
    EXPECT_EQ(splashWaits, 216);
    frame.onCreate();
    EXPECT_EQ(splashWaits, 216);
    EXPECT_TRUE(frame.runCommand(Cmd::Splash));
    EXPECT_TRUE(frame.runCommand(Cmd::Splash));
    EXPECT_EQ(splashWaits, 3 * 216);
    // The splash window is gone once it has played.
    EXPECT_EQ(frame.findChild<CSplashWnd*>(), nullptr);
}

TEST_F(FrameDialogsTest, AboutAndControlsRunModally) {
    for (const auto& [command, className] :
         {std::pair{Cmd::About, "CAboutDialog"}, {Cmd::Controls, "CControlsDialog"}}) {
        QString shown;
        QWidget* owner = nullptr;
        frame.setModalRunner([&](QDialog& dialog) {
            shown = QString::fromLatin1(dialog.metaObject()->className());
            owner = dialog.parentWidget();
            return 1;
        });
        EXPECT_TRUE(frame.runCommand(command));
        EXPECT_EQ(shown, QLatin1String(className));
        EXPECT_EQ(owner, &frame);
    }
}

TEST_F(FrameDialogsTest, HelpContentsOpensTheHelpFileBesideTheProgram) {
    EXPECT_TRUE(frame.runCommand(Cmd::HelpContents));
    CHelpWindow* window = CHelpWindow::current();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    if (window->showsError())
        EXPECT_TRUE(window->toPlainText().contains(QStringLiteral("quix.hlp")));
    else
        EXPECT_EQ(window->source().fileName(), QStringLiteral("quix.hlp"));
    window->close();
}

} // namespace
