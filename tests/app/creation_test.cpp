#include "app/mainframe.h"
#include "fakes.h"
#include "game/commands.h"
#include "model/cutsupport.h"

#include <QDialog>

#include <gtest/gtest.h>

namespace {

void preparePicture(CMainFrame& frame, int rows, int columns, int size, bool rotate) {
    GameState& s = frame.state();
    s.picture = coordinatePicture(columns * size, rows * size);
    s.cut.rotateElements = rotate;
    s.cutRows = rows;
    s.cutColumns = columns;
    s.cutElementSize = size;
    s.flags.pictureLoaded = 1;
    s.flags.cutDone = 1;
}

TEST(CreationTest, EnterGeneratesTurnedElementsAtOnceFromThePictureAsCut) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    preparePicture(frame, 4, 5, 32, true);
    ASSERT_TRUE(frame.runCommand(Cmd::CreateElements));
    const GameState& s = frame.state();
    EXPECT_TRUE(s.hasElements());
    EXPECT_EQ(s.puzzle.count(), 20);
    EXPECT_EQ(s.picture.size(), QSize(160, 128)); // kept once, as cut
    EXPECT_TRUE(frame.clockTimer().isActive());
    EXPECT_EQ(frame.clockTimer().interval(), 1000);
    EXPECT_TRUE(frame.isEnabled()); // the progress dialog gave the window back
}

TEST(CreationTest, WithoutTurningNothingWaitsAndAllStandUpright) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    preparePicture(frame, 2, 3, 32, false);
    ASSERT_TRUE(frame.runCommand(Cmd::CreateElements));
    ASSERT_EQ(frame.state().puzzle.count(), 6);
    for (const Element& e : frame.state().puzzle.elementGrid)
        EXPECT_EQ(e.orientation, 0);
}

TEST(CreationTest, PauseCommandRunsThePauseWindowAndTheClockGoesOn) {
    FakeServices fakes;
    CMainFrame frame(fakes.services());
    QString shown;
    frame.setModalRunner([&shown](QDialog& d) {
        shown = d.objectName();
        return 0;
    });
    preparePicture(frame, 1, 2, 32, false);
    frame.runCommand(Cmd::CreateElements);
    fakes.clock.advance(5);
    frame.runCommand(Cmd::Pause);
    EXPECT_EQ(shown, QStringLiteral("pauseWindow"));
    EXPECT_TRUE(frame.clockTimer().isActive());
    fakes.clock.advance(2);
    frame.gameFlow().clockTick();
    EXPECT_EQ(frame.state().clockText, QStringLiteral("00:00:07"));
}

} // namespace
