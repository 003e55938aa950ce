#include "app/commandtable.h"
#include "app/sessionkeeper.h"
#include "app/terminationsignals.h"
#include "filebytes.h"
#include "framegame.h"
#include "model/picture.h"
#include "game/widgets/clockwindow.h"
#include "app/previewcontrol.h"
#include "ui/picturewnd.h"
#include "ui/sizegrip.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>

#include <csignal>

namespace {

// Settings kept in memory, standing for the file between two runs.
struct Remembered {
    std::optional<PlayerSettings> settings;
    int saves = 0;
};
class MemorySettings : public ISettingsStore {
public:
    explicit MemorySettings(Remembered& r) : r_(r) {}
    void load(PlayerSettings& s) override {
        if (r_.settings)
            s = *r_.settings;
    }
    bool save(const PlayerSettings& s) override {
        r_.settings = s;
        ++r_.saves;
        return true;
    }

private:
    Remembered& r_;
};

// The next start of the program: a main frame that finds what the last run left.
struct NextRun {
    FakeServices fakes;
    CMainFrame frame{fakes.services()};

    NextRun(Remembered& remembered, const QString& autosave, std::int64_t now) {
        fakes.clock.seconds = now;
        frame.setModalRunner([](QDialog&) { return 0; });
        frame.keeper().open(std::make_unique<MemorySettings>(remembered), autosave);
        frame.show();
    }
    void offer(int answer) {
        fakes.messages.answers = {answer};
        frame.keeper().offerInterruptedGame();
        QCoreApplication::processEvents();
    }
};

// What must come back of a game: every element's place, turn and joins, the blocks, the
// stacking, the settings and the background, and the time played.
void expectSameGame(const SavedGame& a, const SavedGame& b) {
    EXPECT_EQ(a.bodyRects, b.bodyRects);
    EXPECT_EQ(a.stackOrder, b.stackOrder);
    EXPECT_EQ(a.elements, b.elements);
    EXPECT_EQ(a.blocks, b.blocks);
    EXPECT_EQ(a.settings, b.settings);
    EXPECT_EQ(std::tie(a.backgroundColor, a.textColor, a.bitmapBackground, a.backgroundBitmapId),
              std::tie(b.backgroundColor, b.textColor, b.bitmapBackground, b.backgroundBitmapId));
    EXPECT_EQ(a.clockCarried(), b.clockCarried());
}

SavedGame snapshotOf(CMainFrame& frame, FakeClock& clock) {
    const GameState& s = frame.state();
    return savedGameSnapshot(s, 0, static_cast<std::int32_t>(s.clock.played(clock.seconds)));
}

struct Session : ::testing::Test {
    QTemporaryDir dir;
    Remembered remembered;
    QString autosave() const { return dir.filePath(QStringLiteral("Autosave")); }

    // A game under way in a frame whose keeper follows it, a few moves made.
    std::unique_ptr<FrameGame> playing() {
        auto g = std::make_unique<FrameGame>(FrameGame::Options{});
        g->frame.keeper().open(std::make_unique<MemorySettings>(remembered), autosave());
        g->frame.keeper().offerInterruptedGame();
        EXPECT_TRUE(g->fakes.messages.shown.isEmpty()) << "nothing to offer on the first run";
        g->drag(3, QPoint(200, 120));
        g->doubleClick(Qt::RightButton, g->grabPoint(7));
        g->state().settings.captureArea = 8;
        EXPECT_TRUE(g->frame.runCommand(Cmd::BackgroundFirst)); // wood
        g->fakes.clock.advance(125);
        return g;
    }
};

// Once the player moves the preview, every later game and run opens it there, at that size,
// kept on the screen; Ctrl+P still shows it beside the board as always.
TEST(PreviewPlaceTest, ThePreviewOpensWhereThePlayerLeftItInLaterGamesAndRuns) {
    Remembered remembered;
    const auto newPicture = [](CMainFrame& frame, int w, int h) {
        GameState& s = frame.state();
        s.picture = QImage(w, h, QImage::Format_RGB32);
        s.picture.fill(Qt::darkCyan);
        s.pictureWidth = w;
        s.pictureHeight = h;
        s.flags.pictureLoaded = 1;
        frame.preview().showNewPicture();
    };
    const auto mouse = [](QWidget* w, QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(w->mapFromGlobal(global)), QPointF(global),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    };
    QRect left;
    {
        NextRun run(remembered, QString(), 1000);
        CPictureWnd* wnd = run.frame.pictureWnd();
        newPicture(run.frame, 300, 200);
        const QRect described = wnd->geometry();
        EXPECT_FALSE(run.frame.preview().playerPlace().has_value());
        newPicture(run.frame, 300, 200);
        EXPECT_EQ(wnd->geometry(), described) << "unmoved, it opens as it always did";

        const QPoint from = described.topLeft() + QPoint(100, 100);
        mouse(wnd, QEvent::MouseButtonPress, from, Qt::LeftButton);
        mouse(wnd, QEvent::MouseMove, from + QPoint(-400, 250), Qt::LeftButton);
        mouse(wnd, QEvent::MouseButtonRelease, from + QPoint(-400, 250), Qt::NoButton);
        // The grip makes it larger too.
        const QPoint grip = wnd->grip()->mapToGlobal(QPoint(7, 7));
        mouse(wnd->grip(), QEvent::MouseButtonPress, grip, Qt::LeftButton);
        mouse(wnd->grip(), QEvent::MouseMove, grip + QPoint(60, 90), Qt::LeftButton);
        mouse(wnd->grip(), QEvent::MouseButtonRelease, grip + QPoint(60, 90), Qt::NoButton);
        left = wnd->geometry();
        EXPECT_EQ(left, QRect(described.topLeft() + QPoint(-400, 250), described.size() + QSize(60, 90)));
        ASSERT_TRUE(remembered.settings.has_value());
        EXPECT_EQ(remembered.settings->preview, left) << "kept at once";

        run.frame.runCommand(Cmd::ShowPicture);
        run.frame.runCommand(Cmd::ShowPicture);
        EXPECT_EQ(wnd->geometry(), described) << "Ctrl+P puts it beside the board";
        newPicture(run.frame, 200, 300);
        EXPECT_EQ(wnd->geometry(), left) << "the next game";
    }
    {
        NextRun run(remembered, QString(), 2000);
        newPicture(run.frame, 640, 480);
        EXPECT_EQ(run.frame.pictureWnd()->geometry(), left) << "the next run";
    }
    // A smaller screen: moved onto it, no larger than it.
    remembered.settings->preview = QRect(900, 700, 500, 2000);
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    frame.setModalRunner([](QDialog&) { return 0; });
    frame.keeper().open(std::make_unique<MemorySettings>(remembered), QString());
    newPicture(frame, 640, 480);
    EXPECT_EQ(frame.pictureWnd()->geometry(), QRect(524, 0, 500, 768));
}

} // namespace

TEST_F(Session, QuitWithYesKeepsTheGameAndTheNextStartRestoresItExactly) {
    auto g = playing();
    const SavedGame before = snapshotOf(g->frame, g->fakes.clock);
    const std::int64_t quitAt = g->fakes.clock.seconds;

    // A disk that takes nothing: the player hears of it and may stay.
    g->frame.keeper().autosave().store().setDiskLimit(0);
    g->fakes.messages.answers = {MessageResult::Yes, MessageResult::No};
    EXPECT_FALSE(g->frame.close());
    ASSERT_EQ(g->fakes.messages.shown.size(), 2);
    EXPECT_EQ(g->fakes.messages.shown[1].text, loadString(Str::AutosaveFailedQuit));
    g->frame.keeper().autosave().store().setDiskLimit(-1);

    g->fakes.messages.answers = {MessageResult::Yes};
    EXPECT_TRUE(g->frame.close());
    ASSERT_TRUE(remembered.settings);
    EXPECT_EQ(remembered.settings->settings.captureArea, 8);
    EXPECT_EQ(remembered.settings->backgroundBitmapId, 227);
    EXPECT_EQ(remembered.settings->window, g->frame.normalGeometry());
    g.reset();

    // Hours later: the time between the runs does not count.
    NextRun next(remembered, autosave(), quitAt + 7200);
    EXPECT_EQ(next.frame.state().settings.captureArea, 8);
    EXPECT_EQ(next.frame.state().background.backgroundBitmapId, 227);
    next.offer(MessageResult::Yes);
    ASSERT_EQ(next.fakes.messages.shown.size(), 1);
    EXPECT_EQ(next.fakes.messages.shown[0].text, loadString(Str::ContinueInterruptedGame));
    EXPECT_EQ(next.fakes.messages.shown[0].kind, MessageKind::Question);
    EXPECT_EQ(next.fakes.messages.shown[0].buttons, MessageButtons::YesNo);
    const GameState& s = next.frame.state();
    ASSERT_TRUE(s.gameUnderWay());
    EXPECT_EQ(s.clock.played(next.fakes.clock.seconds), 125);
    EXPECT_TRUE(next.frame.clockTimer().isActive());
    expectSameGame(snapshotOf(next.frame, next.fakes.clock), before);
    // The restored game is the one the autosave follows from now on.
    EXPECT_TRUE(next.frame.keeper().autosave().tracking());
    EXPECT_TRUE(next.frame.keeper().autosave().store().latest());
}

TEST_F(Session, NoDiscardsTheGameAndAFinishedGameLeavesNone) {
    auto g = playing();
    g->fakes.messages.answers = {MessageResult::Yes};
    ASSERT_TRUE(g->frame.close());
    g.reset();
    {
        NextRun next(remembered, autosave(), 5'000'000);
        next.offer(MessageResult::No);
        EXPECT_FALSE(next.frame.state().hasElements());
        EXPECT_FALSE(AutosaveStore(autosave()).latest());
    }
    {
        NextRun next(remembered, autosave(), 5'000'000);
        next.offer(MessageResult::Yes);
        EXPECT_TRUE(next.fakes.messages.shown.isEmpty()) << "nothing is offered twice";
    }

    auto h = playing();
    ASSERT_TRUE(h->frame.keeper().autosave().writeNow());
    ASSERT_TRUE(AutosaveStore(autosave()).latest());
    // The joiner reports the last join.
    h->frame.announceCompletion();
    EXPECT_FALSE(AutosaveStore(autosave()).latest());
    EXPECT_TRUE(h->frame.close());
    EXPECT_FALSE(AutosaveStore(autosave()).latest());
}

// A damaged text, or a picture that is not the one the state names (another picture of the same
// size in its place): reported, nothing continued, and the autosave removed.
TEST_F(Session, ADamagedAutosaveIsReportedAndDiscarded) {
    for (const bool otherPicture : {false, true}) {
        auto g = playing();
        g->fakes.messages.answers = {MessageResult::Yes};
        ASSERT_TRUE(g->frame.close());
        g.reset();
        const auto files = AutosaveStore(autosave()).latest();
        ASSERT_TRUE(files);
        if (otherPicture) {
            QImage picture = loadPicture(files->picture).picture;
            ASSERT_FALSE(picture.isNull());
            picture.setPixel(1, 1, picture.pixel(1, 1) ^ 0x00FFFFFF);
            writeAll(files->picture, encodeBitmapFile(picture));
        } else {
            QFile text(files->game);
            ASSERT_TRUE(text.open(QIODevice::ReadWrite));
            text.seek(text.size() / 2);
            text.write("\x01 garbage 99999999999");
            text.close();
        }

        NextRun next(remembered, autosave(), 5'000'000);
        next.offer(MessageResult::Yes);
        ASSERT_EQ(next.fakes.messages.shown.size(), 2);
        EXPECT_TRUE(next.fakes.messages.shown[1].text.contains(QStringLiteral("game.pzs")));
        EXPECT_FALSE(next.frame.state().hasElements());
        EXPECT_FALSE(AutosaveStore(autosave()).latest());
    }
}

// SIGTERM through the handler the program installs: the game and the settings are kept before
// the program ends, and nothing is asked.
TEST_F(Session, TheSystemEndingTheProgramKeepsTheGame) {
    auto g = playing();
    const SavedGame before = snapshotOf(g->frame, g->fakes.clock);
    TerminationSignals terminations;
    ASSERT_TRUE(terminations.active());
    int quits = 0;
    g->frame.keeper().watch(terminations, [&quits] { ++quits; });
    const int savesBefore = remembered.saves;
    std::raise(SIGTERM);
    for (int k = 0; k < 100 && !AutosaveStore(autosave()).latest(); ++k)
        QTest::qWait(10);
    const auto files = AutosaveStore(autosave()).latest();
    ASSERT_TRUE(files);
    SavedGame kept;
    ASSERT_EQ(readSavedGameFile(files->game, kept), SavedGameError::None);
    expectSameGame(kept, before);
    EXPECT_GT(remembered.saves, savesBefore);
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(g->fakes.messages.shown.size(), 0);
    // Nothing more is written once the program is ending.
    g->frame.keeper().autosave().discard();
    g->fakes.messages.answers = {MessageResult::Yes};
    EXPECT_TRUE(g->frame.close());
    EXPECT_FALSE(AutosaveStore(autosave()).latest());
}

TEST_F(Session, TheWindowComesBackWhereItWasAndFitsASmallerScreen) {
    {
        // The first run: nothing remembered, nothing changes.
        NextRun first(remembered, QString(), 0);
        EXPECT_EQ(first.frame.pos(), QPoint(170, 128));
        EXPECT_EQ(first.frame.size(), QSize(682, 512));
        EXPECT_FALSE(first.frame.isMaximized());
    }
    PlayerSettings p;
    p.window = QRect(40, 50, 900, 700);
    p.maximised = true;
    p.settings.showTimer = 0;
    remembered.settings = p;
    {
        NextRun next(remembered, QString(), 0);
        EXPECT_EQ(next.frame.normalGeometry(), QRect(40, 50, 900, 700));
        EXPECT_TRUE(next.frame.windowState() & Qt::WindowMaximized);
        EXPECT_TRUE(next.frame.clockWindow()->isHidden());
    }
    {
        FakeServices fakes;
        fakes.screen.screenSize = QSize(800, 600);
        CMainFrame frame(fakes.services());
        frame.keeper().open(std::make_unique<MemorySettings>(remembered), QString());
        EXPECT_EQ(frame.geometry(), QRect(0, 0, 800, 600));
    }
}

// The option that lets the left button move blocks: a check item of the actions menu, off at
// first, remembered when changed and on again at the next start.
TEST_F(Session, TheLeftButtonMovesBlocksOptionIsACheckItemRememberedBetweenRuns) {
    {
        auto g = playing();
        QAction* item = g->frame.commands().menuAction(Cmd::LeftMovesBlocks);
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(item->isCheckable());
        EXPECT_EQ(item->text(), QStringLiteral("Блок&и Левой Кнопкой"));
        g->frame.commands().updateMenu(g->frame.commands().menus()[1]);
        EXPECT_FALSE(item->isChecked());
        ASSERT_TRUE(g->frame.runCommand(Cmd::LeftMovesBlocks));
        g->frame.commands().updateMenu(g->frame.commands().menus()[1]);
        EXPECT_TRUE(item->isChecked());
        ASSERT_TRUE(remembered.settings.has_value());
        EXPECT_TRUE(remembered.settings->leftButtonMovesBlocks);

        g->fakes.messages.answers = {MessageResult::Yes};
        EXPECT_TRUE(g->frame.close());
    }
    NextRun next(remembered, QString(), 0);
    EXPECT_TRUE(next.frame.state().options.leftButtonMovesBlocks);
}

// A folder that cannot be written never drops the game silently: an autosave it holds is still
// offered, and quitting asks whether to leave a game that cannot be kept, as a full disk does.
TEST_F(Session, AFolderThatCannotBeWrittenOffersItsGameAndAsksBeforeQuitting) {
    auto g = playing();
    g->fakes.messages.answers = {MessageResult::Yes};
    ASSERT_TRUE(g->frame.close());
    g.reset();
    // The lock cannot be made there (a folder one may only read).
    ASSERT_TRUE(QDir().mkpath(autosave() + QStringLiteral("/lock/inside")));
    NextRun next(remembered, autosave(), 5'000'000);
    next.offer(MessageResult::Yes);
    ASSERT_TRUE(next.frame.state().gameUnderWay()) << "the game kept is offered and loaded";
    next.fakes.messages.shown.clear();
    next.fakes.messages.answers = {MessageResult::Yes, MessageResult::No};
    EXPECT_FALSE(next.frame.close());
    ASSERT_EQ(next.fakes.messages.shown.size(), 2);
    EXPECT_EQ(next.fakes.messages.shown[1].text, loadString(Str::AutosaveFailedQuit));
    next.fakes.messages.answers = {MessageResult::Yes, MessageResult::Yes};
    EXPECT_TRUE(next.frame.close());
    EXPECT_TRUE(AutosaveStore(autosave()).latest()) << "what the folder held stays";

    // No folder to be had at all: a file stands where it would be made.
    QDir(autosave()).removeRecursively();
    writeAll(autosave(), "not a folder");
    auto h = playing();
    h->fakes.messages.answers = {MessageResult::Yes, MessageResult::No};
    EXPECT_FALSE(h->frame.close());
    ASSERT_EQ(h->fakes.messages.shown.size(), 2);
    EXPECT_EQ(h->fakes.messages.shown[1].text, loadString(Str::AutosaveFailedQuit));
}
