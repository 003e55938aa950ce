#include "app/commandtable.h"
#include "app/mainframe.h"
#include "app/puzzleapp.h"
#include "fakes.h"
#include "game/widgets/clockwindow.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace {

QAction* findItem(CMainFrame& frame, int id) {
    return frame.commands().menuAction(id);
}

TEST(MainFrameTest, PlacedAtOneSixthWithTwoThirdsOfTheScreen) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    EXPECT_EQ(frame.pos(), QPoint(170, 128));
    EXPECT_EQ(frame.size(), QSize(682, 512));
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Puzzle from Brindlecot 1.8 Test"));
    EXPECT_EQ(frame.state().board.boardWidth, 1024);
    EXPECT_EQ(frame.state().board.boardHeight, 768);
}

TEST(MainFrameTest, MenuBarHoldsEveryItemExactlyAsQuoted) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    const QStringList titles{"&Игра", "&Действия", "&Вид", "&Фон", "&Справка"};
    const auto menus = frame.menuBar()->actions();
    ASSERT_EQ(menus.size(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(menus[i]->text(), titles[i]);
    const std::pair<int, const char*> items[] = {{32801, "&Новая Игра...\tCtrl+N"},
                                                 {32799, "&Сохранить Игру...\tF2"},
                                                 {32800, "&Загрузить Игру...\tF3"},
                                                 {32773, "Нас&тройки..."},
                                                 {57665, "В&ыход"},
                                                 {32771, "З&агрузить Картинку...\tCtrl+O"},
                                                 {32772, "&Разрезка Картинки..."},
                                                 {32774, "Создать &Элементы\tEnter"},
                                                 {32777, "П&олноэкранный Режим\tCtrl+M"},
                                                 {32775, "Показать &Картинку\tCtrl+P"},
                                                 {32810, "&Дерево"},
                                                 {32819, "Ш&тукатурка +"},
                                                 {32820, "Од&нотонный..."},
                                                 {32806, "&Содержание"},
                                                 {32797, "&Управление..."},
                                                 {32798, "&О программе..."}};
    for (const auto& [id, text] : items) {
        QAction* a = findItem(frame, id);
        ASSERT_NE(a, nullptr) << id;
        EXPECT_EQ(a->text(), QString::fromUtf8(text)) << id;
    }
}

TEST(MainFrameTest, WithoutAPictureCutCreateAndShowAreDisabled) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    for (QMenu* m : frame.commands().menus())
        emit m->aboutToShow();
    EXPECT_FALSE(findItem(frame, 32772)->isEnabled());
    EXPECT_FALSE(findItem(frame, 32774)->isEnabled());
    EXPECT_FALSE(findItem(frame, 32775)->isEnabled());
    EXPECT_TRUE(findItem(frame, 32771)->isEnabled());

    frame.state().flags.pictureLoaded = 1;
    frame.state().flags.cutDone = 1;
    for (QMenu* m : frame.commands().menus())
        emit m->aboutToShow();
    EXPECT_TRUE(findItem(frame, 32772)->isEnabled());
    EXPECT_TRUE(findItem(frame, 32774)->isEnabled());
    // Relabelling keeps the accelerator text.
    EXPECT_EQ(findItem(frame, 32775)->text(), QString::fromUtf8("Показать &Картинку\tCtrl+P"));
}

TEST(MainFrameTest, AcceleratorOfADisabledCommandDoesNothing) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    int ran = 0;
    frame.commands().setHandler(32772, [&ran] { ++ran; });
    EXPECT_FALSE(frame.runCommand(32772));
    EXPECT_EQ(ran, 0);
    frame.state().flags.pictureLoaded = 1;
    EXPECT_TRUE(frame.runCommand(32772));
    EXPECT_EQ(ran, 1);
}

TEST(MainFrameTest, EveryCommandOfTheTableHasAHandler) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    for (const CommandRow& row : commandTable())
        EXPECT_TRUE(frame.commands().hasHandler(row.id)) << row.id;
}

TEST(MainFrameTest, ClosingAsksOnlyWhileAGameIsUnderWay) {
    FakeServices fakes;
    {
        CMainFrame frame(fakes.services());
        frame.show();
        EXPECT_TRUE(frame.close());
        EXPECT_TRUE(fakes.messages.shown.isEmpty());
    }
    {
        CMainFrame frame(fakes.services());
        frame.show();
        frame.state().puzzle.create(1, 1);
        frame.state().flags.gameCompleted = 1;
        EXPECT_TRUE(frame.close());
        EXPECT_TRUE(fakes.messages.shown.isEmpty());
    }
    {
        CMainFrame frame(fakes.services());
        frame.show();
        frame.state().puzzle.create(1, 1);
        fakes.messages.answers = {MessageResult::No, MessageResult::Cancel, MessageResult::Yes};
        EXPECT_FALSE(frame.close());
        EXPECT_FALSE(frame.close());
        ASSERT_EQ(fakes.messages.shown.size(), 2);
        EXPECT_EQ(fakes.messages.shown[0].text, QString::fromUtf8("Выйти из игры?"));
        EXPECT_EQ(fakes.messages.shown[0].kind, MessageKind::Question);
        EXPECT_EQ(fakes.messages.shown[0].buttons, MessageButtons::YesNo);
        EXPECT_TRUE(frame.close());
    }
}

TEST(MainFrameTest, ClockWindowSitsInTheBottomRightCorner) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    frame.show();
    QApplication::processEvents();
    QWidget* clock = frame.clockWindow();
    QWidget* client = frame.centralWidget();
    EXPECT_EQ(clock->size(), QSize(80, 20));
    EXPECT_EQ(clock->geometry().bottomRight(), client->rect().bottomRight());
    frame.resize(900, 600);
    QApplication::processEvents();
    EXPECT_EQ(clock->geometry().bottomRight(), client->rect().bottomRight());
}

TEST(StartUpTest, DepthQuestionOnlyAtEightBitsOrFewer) {
    FakeScreen screen;
    FakeMessageBox messages;
    screen.bitsPerPixel = 16;
    EXPECT_TRUE(CPuzzleApp::checkDisplay(screen, messages));
    EXPECT_TRUE(messages.standardAsked.isEmpty());

    screen.bitsPerPixel = 8;
    messages.standardAnswer = false;
    EXPECT_FALSE(CPuzzleApp::checkDisplay(screen, messages));
    ASSERT_EQ(messages.standardAsked.size(), 1);
    EXPECT_TRUE(messages.standardAsked[0].startsWith(
        QString::fromUtf8("Текущий режим дисплея: 1024 x 768 (8 бит на пиксел).\n")));
    messages.standardAnswer = true;
    EXPECT_TRUE(CPuzzleApp::checkDisplay(screen, messages));
}

} // namespace

namespace {

TEST(MainFrameTest, CursorFollowsBusyWorkerAndHintMode) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    QWidget* view = frame.centralWidget();
    EXPECT_FALSE(view->testAttribute(Qt::WA_SetCursor));
    frame.state().input.hintMode = 1;
    frame.updateCursor();
    ASSERT_TRUE(view->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(view->cursor().hotSpot(), QPoint(0, 0));
    EXPECT_EQ(view->cursor().pixmap().size(), QSize(32, 32));
    frame.state().input.hintMode = 0;
    frame.updateCursor();
    EXPECT_FALSE(view->testAttribute(Qt::WA_SetCursor));
}

} // namespace
