#include "model/puzzle.h"
#include "model/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

TEST(PuzzleTest, HomeIndexAddressesRowMajor) {
    Puzzle p;
    p.create(3, 5);
    ASSERT_EQ(p.count(), 15);
    EXPECT_EQ(p.element(0, 0).homeIndex, 0);
    EXPECT_EQ(p.element(2, 4).homeIndex, 14);
    for (int i = 0; i < p.count(); ++i) {
        EXPECT_EQ(&p.element(p.rowOf(i), p.columnOf(i)), &p.element(i));
        EXPECT_EQ(p.element(i).homeIndex, i);
    }
    EXPECT_EQ(p.rowOf(7), 1);
    EXPECT_EQ(p.columnOf(7), 2);
}

TEST(PuzzleTest, CreateSizesEveryArrayAndLeavesElementsAlone) {
    Puzzle p;
    p.create(2, 2);
    EXPECT_EQ(p.bodyRects.size(), 4u);
    EXPECT_EQ(p.boardRegions.size(), 4u);
    EXPECT_EQ(p.stackOrder, (std::vector<std::int32_t>{0, 1, 2, 3}));
    for (int i = 0; i < 4; ++i) {
        const Element& e = p.element(i);
        EXPECT_TRUE(e.alone());
        EXPECT_EQ(e.orientation, 0);
        EXPECT_EQ(e.joinedNeighbour, (std::array<std::int32_t, 4>{-1, -1, -1, -1}));
        EXPECT_EQ(p.boardRegions[i], QRegion(0, 0, 1, 1));
        EXPECT_EQ(p.blocks.members(i), std::vector<std::int32_t>{i});
        EXPECT_EQ(p.blocks.membershipLine(i), QByteArray(4, '0').replace(i, 1, "1"));
    }
    p.clear();
    EXPECT_TRUE(p.isEmpty());
    EXPECT_TRUE(p.stackOrder.empty());
}

TEST(PuzzleTest, NeighboursStopAtTheBorder) {
    Puzzle p;
    p.create(1, 1);
    for (int side = 0; side < 4; ++side)
        EXPECT_EQ(p.homeNeighbour(0, side), -1);
    p.create(3, 4);
    EXPECT_EQ(p.homeNeighbour(5, Top), 1);
    EXPECT_EQ(p.homeNeighbour(5, Right), 6);
    EXPECT_EQ(p.homeNeighbour(5, Bottom), 9);
    EXPECT_EQ(p.homeNeighbour(5, Left), 4);
    EXPECT_EQ(p.homeNeighbour(3, Right), -1);
    EXPECT_EQ(p.homeNeighbour(8, Left), -1);
    EXPECT_EQ(p.homeNeighbour(11, Bottom), -1);
}

TEST(PuzzleTest, BodyRectFollowsTheCell) {
    Puzzle p;
    p.create(1, 2);
    p.geometry = Geometry::compute(64, false, true, 4);
    p.setCellRect(1, Rect{200, 100, 300, 200});
    EXPECT_EQ(p.bodyRects[1], (Rect{216, 116, 280, 180}));
}

// Random unions and detachments checked against a plain model: one N-flag row per element.
// Board regions are kept as a shared shape and an offset: under any mix of moves and placings
// they read exactly as regions translated one by one would, and no move copies a shape's
// rectangles.
TEST(PuzzleTest, BoardRegionsReadAsRegionsMovedOneByOne) {
    Puzzle p;
    p.create(3, 4);
    const std::vector<QRegion> shapes{QRegion(0, 0, 10, 10),
                                      QRegion(2, 0, 5, 3) + QRegion(0, 3, 9, 4) + QRegion(4, 7, 2, 2),
                                      QRegion(), QRegion(QRect(1, 1, 6, 6), QRegion::Ellipse)};
    std::vector<QRegion> model(p.count(), QRegion(0, 0, 1, 1));
    std::mt19937 random(7);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int step = 0; step < 400; ++step) {
        const int i = pick(p.count());
        const int dx = pick(41) - 20, dy = pick(41) - 20;
        switch (pick(5)) {
        case 0: {
            const QRegion& shape = shapes[pick(static_cast<int>(shapes.size()))];
            const QPoint at(pick(200) - 50, pick(200) - 50);
            p.boardRegions.set(i, shape, at);
            model[i] = shape.translated(at);
            break;
        }
        case 1:
            p.moveElement(i, dx, dy);
            model[i].translate(dx, dy);
            break;
        case 2: {
            std::vector<std::int32_t> list;
            for (int j = 0; j < p.count(); ++j)
                if (pick(2))
                    list.push_back(j);
            p.moveElements(list, dx, dy, i);
            for (const int j : list)
                if (j != i)
                    model[j].translate(dx, dy);
            break;
        }
        case 3: {
            const std::vector<std::int32_t> list{i};
            p.moveElementsTo(list, {QPoint(p.element(i).cellRect.left + dx, p.element(i).cellRect.top + dy)});
            model[i].translate(dx, dy);
            break;
        }
        default:
            p.moveAll(dx, dy);
            for (QRegion& r : model)
                r.translate(dx, dy);
        }
        const int j = pick(p.count());
        ASSERT_EQ(p.boardRegions[j], model[j]) << step;
        ASSERT_EQ(p.boardRegions.boundingRect(j), model[j].boundingRect()) << step;
        ASSERT_EQ(p.boardRegions.rectCount(j), model[j].rectCount()) << step;
        const QPoint probe = model[j].boundingRect().topLeft() + QPoint(pick(12) - 1, pick(12) - 1);
        ASSERT_EQ(p.boardRegions.contains(j, probe), model[j].contains(probe)) << step;
    }
    EXPECT_EQ(p.boardRegions.toVector(), model);
    // The regions placed from a shape still hold its very rectangles.
    for (int i = 0; i < p.count(); ++i) {
        const QRegion& shape = p.boardRegions.shape(i);
        if (shape.rectCount() > 1) {
            EXPECT_TRUE(std::any_of(shapes.begin(), shapes.end(),
                                    [&](const QRegion& s) { return s.begin() == shape.begin(); }));
        }
    }
}

TEST(BlocksTest, AgreesWithFlagMatrixModel) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 20; ++round) {
        const int n = 1 + static_cast<int>(rng() % 40);
        Blocks blocks;
        blocks.reset(n);
        std::vector<std::vector<char>> flags(n, std::vector<char>(n, 0));
        for (int i = 0; i < n; ++i)
            flags[i][i] = 1;
        for (int step = 0; step < 200; ++step) {
            const int a = static_cast<int>(rng() % n), b = static_cast<int>(rng() % n);
            switch (rng() % 3) {
            case 0:
            case 1: {
                blocks.merge(a, b);
                std::vector<char> row(n, 0);
                for (int k = 0; k < n; ++k)
                    row[k] = flags[a][k] || flags[b][k];
                for (int k = 0; k < n; ++k)
                    if (row[k])
                        flags[k] = row;
                break;
            }
            case 2: {
                blocks.detach(a);
                for (int k = 0; k < n; ++k)
                    if (k != a && flags[a][k])
                        flags[k][a] = 0;
                flags[a].assign(n, 0);
                flags[a][a] = 1;
                break;
            }
            }
            ASSERT_TRUE(blocks.isConsistent());
        }
        for (int i = 0; i < n; ++i) {
            QByteArray expected(n, '0');
            for (int k = 0; k < n; ++k)
                if (flags[i][k])
                    expected[k] = '1';
            ASSERT_EQ(blocks.membershipLine(i), expected) << "element " << i;
        }
    }
}

TEST(BlocksTest, MakeBlockTakesMembersFromTheirOldBlocks) {
    Blocks b;
    b.reset(6);
    b.merge(0, 1);
    b.merge(1, 2);
    b.merge(3, 4);
    b.makeBlock({4, 2, 5, 2});
    EXPECT_TRUE(b.isConsistent());
    EXPECT_EQ(b.members(5), (std::vector<std::int32_t>{2, 4, 5}));
    EXPECT_EQ(b.members(0), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(b.members(3), (std::vector<std::int32_t>{3}));
    EXPECT_EQ(b.membershipLine(4), QByteArray("001011"));
}

TEST(SettingsTest, DefaultsAreValidAndNormaliseRepairs) {
    Settings s;
    EXPECT_TRUE(s.isValid());
    EXPECT_EQ(s.captureArea, 5);
    EXPECT_EQ(s.outlineThickness, 4);
    EXPECT_EQ(s.keyScrollSpeed, 150);
    EXPECT_EQ(s.outlineColor, QColor(128, 128, 128));
    s.threeD = 0;
    EXPECT_FALSE(s.isValid()); // outline must be 0 without the bevel
    s.normalise();
    EXPECT_EQ(s.outlineThickness, 0);
    EXPECT_TRUE(s.isValid());
    s.captureArea = 99;
    s.scrollArea = 1;
    s.threeD = 1;
    s.normalise();
    EXPECT_EQ(s.captureArea, 10);
    EXPECT_EQ(s.scrollArea, 5);
    EXPECT_EQ(s.outlineThickness, 1);
}

} // namespace
