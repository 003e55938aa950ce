#include "game/creationflow.h"
#include "game/commands.h"
#include "game/flowfixture.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <QCoreApplication>

#include <memory>
#include <vector>

namespace {

class RecordingCreationHost : public ICreationHost {
public:
    bool pickingBlocked = false;
    int busyChanges = 0;
    std::vector<int> progressCaptions;
    std::vector<int> commands;
    std::function<bool(int)> onCommand;

    void setPickingBlocked(bool blocked) override { pickingBlocked = blocked; }
    void turningBusyChanged() override { ++busyChanges; }
    std::unique_ptr<IProgress> openProgress(int captionId) override {
        progressCaptions.push_back(captionId);
        return std::make_unique<RecordingProgress>();
    }
    bool runCommand(int id) override {
        commands.push_back(id);
        return onCommand ? onCommand(id) : true;
    }
};

// The creation flow with the game flow it drives; no window anywhere.
struct CreationFixture : FlowFixture {
    RecordingCreationHost host;
    CreationFlow creation{state, flow, fakes.messages, fakes.cursor, host};

    CreationFixture() { fakes.cursor.pos = QPoint(100, 200); }
    // The picture as the cut command leaves it: not yet turned.
    void cutPicture(int rows, int columns, bool rotate) {
        prepare(rows, columns, 32, false);
        state.cut.rotateElements = rotate;
    }
};

TEST(CreationFlowTest, TheWorkerTurnsThePictureAndHandsOverThroughTheEventLoop) {
    CreationFixture f;
    f.cutPicture(4, 5, true);
    f.creation.createElements();
    EXPECT_TRUE(f.creation.turningBusy());
    EXPECT_TRUE(f.host.pickingBlocked);
    EXPECT_EQ(f.host.busyChanges, 1);
    EXPECT_EQ(f.fakes.cursor.pos, QPoint(101, 201)); // nudged so the busy cursor shows at once
    // Nothing is generated before the main thread takes the pictures over.
    EXPECT_EQ(f.state.puzzle.count(), 0);
    EXPECT_TRUE(f.state.turnedPictures[1].isNull());

    f.creation.waitForWorker();
    EXPECT_FALSE(f.creation.turningBusy());
    EXPECT_FALSE(f.host.pickingBlocked);
    EXPECT_EQ(f.host.busyChanges, 2);
    EXPECT_EQ(f.state.turnedPictures[1].size(), QSize(128, 160));
    EXPECT_EQ(f.state.turnedPictures[2].size(), QSize(160, 128));
    EXPECT_EQ(f.state.turnedPictures[3].size(), QSize(128, 160));
    EXPECT_EQ(f.state.flags.elementsExist, 1);
    EXPECT_EQ(f.state.puzzle.count(), 20);
    EXPECT_TRUE(f.flowHost.timerRunning);
    EXPECT_EQ(f.host.progressCaptions, std::vector<int>{Str::GeneratingCaption});
    EXPECT_EQ(f.fakes.cursor.pos, QPoint(101, 201));
    EXPECT_TRUE(f.fakes.messages.shown.isEmpty());
}

TEST(CreationFlowTest, OneWorkerAtATime) {
    CreationFixture f;
    f.cutPicture(2, 3, true);
    f.creation.createElements();
    ASSERT_TRUE(f.creation.turningBusy());
    // A second create or a loaded game's start while it turns starts nothing and asks nothing.
    f.state.flags.elementsExist = 1;
    f.creation.createElements();
    f.creation.startLoadedGame();
    EXPECT_EQ(f.host.busyChanges, 1);
    EXPECT_TRUE(f.fakes.messages.shown.isEmpty());
    f.state.flags.elementsExist = 0;
    f.creation.waitForWorker();
    EXPECT_EQ(f.state.puzzle.count(), 6);
    EXPECT_EQ(f.host.busyChanges, 2);
}

TEST(CreationFlowTest, AFailedTurnIsReportedAndNothingStarts) {
    CreationFixture f;
    f.cutPicture(2, 3, true);
    f.state.turnedPictures[0] = QImage(); // nothing to turn
    f.creation.createElements();
    f.creation.waitForWorker();
    ASSERT_EQ(f.fakes.messages.shown.size(), 1);
    EXPECT_EQ(f.fakes.messages.shown[0].text, loadString(Str::TurningFailed));
    EXPECT_EQ(f.fakes.messages.shown[0].kind, MessageKind::Error);
    EXPECT_FALSE(f.creation.turningBusy());
    EXPECT_FALSE(f.host.pickingBlocked);
    EXPECT_EQ(f.state.flags.elementsExist, 0);
    EXPECT_EQ(f.state.puzzle.count(), 0);
    EXPECT_FALSE(f.flowHost.timerRunning);
}

// Creation generates after turning; a loaded game only becomes ready: its elements stay.
TEST(CreationFlowTest, GenerationAfterCreatingGameReadyAfterLoading) {
    CreationFixture f;
    f.cutPicture(2, 3, false);
    f.creation.createElements(); // upright elements need no worker
    EXPECT_FALSE(f.creation.turningBusy());
    ASSERT_EQ(f.state.puzzle.count(), 6);
    EXPECT_TRUE(f.host.progressCaptions.empty()) << "six elements need no progress strip";
    const std::vector<Rect> bodies = f.state.puzzle.bodyRects;

    // As a loaded game whose elements turn: the picture turns, then the game is only shown.
    f.state.cut.rotateElements = 1;
    f.flowHost.timerRunning = false;
    f.fakes.clock.advance(30);
    f.creation.startLoadedGame();
    EXPECT_EQ(f.state.flags.generateAfterTurning, 0);
    EXPECT_TRUE(f.creation.turningBusy());
    f.creation.waitForWorker();
    EXPECT_EQ(f.state.puzzle.bodyRects, bodies);
    EXPECT_FALSE(f.state.turnedPictures[3].isNull());
    EXPECT_EQ(f.state.clock.clockStart, f.fakes.clock.seconds);
    EXPECT_TRUE(f.flowHost.timerRunning);

    // Without turning a loaded game is ready at once.
    f.state.cut.rotateElements = 0;
    f.fakes.clock.advance(5);
    f.creation.startLoadedGame();
    EXPECT_FALSE(f.creation.turningBusy());
    EXPECT_EQ(f.state.clock.clockStart, f.fakes.clock.seconds);
}

TEST(CreationFlowTest, NewGameRunsEachStepOnlyWhenTheOneBeforeDidItsPart) {
    CreationFixture f;
    // The player cancels the picture dialog: nothing follows.
    f.creation.newGame();
    EXPECT_EQ(f.host.commands, std::vector<int>{Cmd::LoadPicture});

    // A picture, but the cut dialog is cancelled.
    f.host.commands.clear();
    f.host.onCommand = [&f](int id) {
        if (id == Cmd::LoadPicture)
            f.state.flags.pictureLoaded = 1;
        return true;
    };
    f.creation.newGame();
    EXPECT_EQ(f.host.commands, (std::vector<int>{Cmd::LoadPicture, Cmd::CutPicture}));

    // Every step does its part.
    f.host.commands.clear();
    f.host.onCommand = [&f](int id) {
        if (id == Cmd::LoadPicture)
            f.state.flags.pictureLoaded = 1, f.state.flags.cutDone = 0;
        if (id == Cmd::CutPicture)
            f.state.flags.cutDone = 1;
        return true;
    };
    f.creation.newGame();
    EXPECT_EQ(f.host.commands, (std::vector<int>{Cmd::LoadPicture, Cmd::CutPicture, Cmd::CreateElements}));
}

TEST(CreationFlowTest, TheProgressStripFromNineteenElementsOn) {
    CreationFixture f;
    for (const int count : {0, 18, 19, 10816}) {
        f.host.progressCaptions.clear();
        IProgress* given = nullptr;
        bool ran = false;
        f.creation.withProgress(count, [&](IProgress* progress) {
            given = progress;
            ran = true;
        });
        EXPECT_TRUE(ran);
        EXPECT_EQ(given != nullptr, count >= 19) << count;
        EXPECT_EQ(f.host.progressCaptions.size(), count >= 19 ? 1u : 0u) << count;
    }
}

} // namespace
