#include "game/previewlayout.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

const QSize screen(1024, 768);

TEST(PreviewLayoutTest, ShownSizeKeepsTheProportionsWithinAThirdOfTheScreen) {
    struct Case {
        int w, h;
        QSize expected;
    } cases[] = {
        {640, 480, {341, 255}}, // 341 / 640 * 480 = 255.75, truncated
        {480, 640, {192, 256}}, // portrait: limited by the screen's height
        {200, 150, {200, 150}}, // small pictures are not enlarged
        {300, 300, {300, 300}}, // square counts as landscape
        {2000, 2000, {341, 341}}, {3000, 10, {341, 1}}, {1, 1, {1, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PreviewLayout::shownSize(c.w, c.h, screen), c.expected) << c.w << "x" << c.h;
    EXPECT_TRUE(PreviewLayout::shownSize(0, 480, screen).isEmpty());
    EXPECT_TRUE(PreviewLayout::shownSize(640, -1, screen).isEmpty());
}

TEST(PreviewLayoutTest, FittedHeightRoundsHalvesUp) {
    EXPECT_EQ(PreviewLayout::fittedHeight(300, 99, 640, 480), 225);
    EXPECT_EQ(PreviewLayout::fittedHeight(341, 255, 640, 512), 273); // 272.8
    EXPECT_EQ(PreviewLayout::fittedHeight(3, 9, 2, 1), 2);           // 1.5 goes up
    EXPECT_EQ(PreviewLayout::fittedHeight(5, 9, 4, 1), 1);           // 1.25 goes down
    EXPECT_EQ(PreviewLayout::fittedHeight(300, 77, 0, 480), 77);     // no picture: kept
    EXPECT_EQ(PreviewLayout::fittedHeight(300, 77, 640, 0), 77);
}

TEST(PreviewLayoutTest, BorderHitTestFindsEdgesAndCorners) {
    const QSize size(200, 100);
    EXPECT_EQ(PreviewLayout::edgesAt({100, 50}, size, 4, 16), Qt::Edges());
    EXPECT_EQ(PreviewLayout::edgesAt({0, 50}, size, 4, 16), Qt::Edges(Qt::LeftEdge));
    EXPECT_EQ(PreviewLayout::edgesAt({199, 50}, size, 4, 16), Qt::Edges(Qt::RightEdge));
    EXPECT_EQ(PreviewLayout::edgesAt({100, 3}, size, 4, 16), Qt::Edges(Qt::TopEdge));
    EXPECT_EQ(PreviewLayout::edgesAt({100, 96}, size, 4, 16), Qt::Edges(Qt::BottomEdge));
    EXPECT_EQ(PreviewLayout::edgesAt({100, 95}, size, 4, 16), Qt::Edges());
    EXPECT_EQ(PreviewLayout::edgesAt({10, 1}, size, 4, 16), Qt::LeftEdge | Qt::TopEdge);
    EXPECT_EQ(PreviewLayout::edgesAt({198, 90}, size, 4, 16), Qt::RightEdge | Qt::BottomEdge);
    EXPECT_EQ(PreviewLayout::edgesAt({-1, 50}, size, 4, 16), Qt::Edges());
    // Too small for two corners: never both opposite edges.
    const Qt::Edges tiny = PreviewLayout::edgesAt({1, 3}, QSize(10, 10), 4, 16);
    EXPECT_EQ(tiny, Qt::LeftEdge | Qt::TopEdge);
}

TEST(PreviewLayoutTest, ResizingKeepsTheMinimumAndTheEdgesNotDragged) {
    const QSize minimum(40, 40);
    const Qt::Edges choices[] = {Qt::LeftEdge,
                                 Qt::RightEdge,
                                 Qt::TopEdge,
                                 Qt::BottomEdge,
                                 Qt::LeftEdge | Qt::TopEdge,
                                 Qt::RightEdge | Qt::BottomEdge,
                                 Qt::RightEdge | Qt::TopEdge,
                                 Qt::LeftEdge | Qt::BottomEdge};
    QRandomGenerator random(7);
    for (int i = 0; i < 2000; ++i) {
        const QRect start(random.bounded(-50, 500), random.bounded(-50, 500), random.bounded(40, 400),
                          random.bounded(40, 400));
        const Qt::Edges edges = choices[random.bounded(8)];
        const QPoint delta(random.bounded(-600, 600), random.bounded(-600, 600));
        const QRect r = PreviewLayout::resized(start, edges, delta, minimum);
        ASSERT_GE(r.width(), minimum.width());
        ASSERT_GE(r.height(), minimum.height());
        if (!edges.testFlag(Qt::LeftEdge)) {
            ASSERT_EQ(r.x(), start.x());
        }
        if (!edges.testFlag(Qt::RightEdge)) {
            ASSERT_EQ(r.x() + r.width(), start.x() + start.width());
        }
        if (!edges.testFlag(Qt::TopEdge)) {
            ASSERT_EQ(r.y(), start.y());
        }
        if (!edges.testFlag(Qt::BottomEdge)) {
            ASSERT_EQ(r.y() + r.height(), start.y() + start.height());
        }
        // A dragged edge follows the pointer exactly until the minimum stops it.
        if (edges.testFlag(Qt::RightEdge) && start.width() + delta.x() >= minimum.width()) {
            ASSERT_EQ(r.width(), start.width() + delta.x());
        }
        if (edges.testFlag(Qt::TopEdge) && start.height() - delta.y() >= minimum.height()) {
            ASSERT_EQ(r.y(), start.y() + delta.y());
        }
    }
}

} // namespace
