#include "game/creationflow.h"
#include "game/commands.h"
#include "game/flowfixture.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <memory>
#include <set>
#include <vector>

namespace {

class RecordingCreationHost : public ICreationHost {
public:
    std::vector<int> progressCaptions;
    std::vector<int> commands;
    std::function<bool(int)> onCommand;

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
    CreationFlow creation{state, flow, host};

    CreationFixture() { fakes.cursor.pos = QPoint(100, 200); }
    // The picture as the cut command leaves it.
    void cutPicture(int rows, int columns, bool rotate) {
        prepare(rows, columns, 32, false);
        state.cut.rotateElements = rotate;
    }
};

// Turned elements need nothing turned ahead: they are built at once, and only the picture as cut
// is kept.
TEST(CreationFlowTest, TurnedElementsAreBuiltAtOnceFromThePictureAsCut) {
    CreationFixture f;
    f.cutPicture(4, 5, true);
    const QImage picture = f.state.picture;
    f.creation.createElements();
    EXPECT_TRUE(f.state.hasElements());
    EXPECT_EQ(f.state.puzzle.count(), 20);
    EXPECT_TRUE(f.flowHost.timerRunning);
    EXPECT_EQ(f.host.progressCaptions, std::vector<int>{Str::GeneratingCaption});
    EXPECT_EQ(f.fakes.cursor.pos, QPoint(100, 200)); // no busy cursor to show
    EXPECT_TRUE(f.fakes.messages.shown.isEmpty());
    EXPECT_EQ(f.state.picture.cacheKey(), picture.cacheKey());
    std::set<int> orientations;
    for (const Element& e : f.state.puzzle.elementGrid)
        orientations.insert(e.orientation);
    EXPECT_GT(orientations.size(), 1u);
}

// While a game is being built (its progress strip lets events through) no other one starts.
TEST(CreationFlowTest, NothingStartsWhileAGameIsBuilt) {
    CreationFixture f;
    f.cutPicture(2, 3, true);
    f.creation.withProgress(6, [&f](IProgress*) {
        EXPECT_TRUE(f.creation.building());
        f.creation.createElements();
    });
    EXPECT_FALSE(f.creation.building());
    EXPECT_FALSE(f.state.hasElements());
    EXPECT_TRUE(f.fakes.messages.shown.isEmpty());
    f.creation.createElements();
    EXPECT_EQ(f.state.puzzle.count(), 6);
}

// Creation generates; a loaded game only becomes ready: its elements stay, turned or not.
TEST(CreationFlowTest, GenerationAfterCreatingGameReadyAfterLoading) {
    CreationFixture f;
    f.cutPicture(2, 3, false);
    f.creation.createElements();
    ASSERT_EQ(f.state.puzzle.count(), 6);
    EXPECT_TRUE(f.host.progressCaptions.empty()) << "six elements need no progress strip";
    const std::vector<Rect> bodies = f.state.puzzle.bodyRects;

    for (const int rotate : {1, 0}) {
        f.state.cut.rotateElements = rotate;
        f.flowHost.timerRunning = false;
        f.fakes.clock.advance(30);
        f.creation.startLoadedGame();
        EXPECT_EQ(f.state.puzzle.bodyRects, bodies);
        EXPECT_EQ(f.state.clock.clockStart, f.fakes.clock.seconds);
        EXPECT_TRUE(f.flowHost.timerRunning);
    }
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
