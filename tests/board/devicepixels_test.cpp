#include "board/stacking.h"
#include "boardfixture.h"

#include <QPainter>

#include <cmath>

namespace {

// A 3 x 4 cut on the 1800 x 1400 board seen through an 800 x 600 client area, painted on a
// device of `ratio` pixels to each logical one.
struct DeviceBoard : BoardFixture {
    DeviceBoard() : BoardFixture(plan(3, 4)) { interaction.viewport().clientResized(); }

    QImage paint(double ratio) {
        const QSize client = host.client;
        QImage device((QSizeF(client) * ratio).toSize(), QImage::Format_RGB32);
        device.setDevicePixelRatio(ratio);
        device.fill(Qt::magenta);
        renderer.setDeviceRatio(ratio);
        QPainter p(&device);
        renderer.paint(p, QRegion(QRect(QPoint(0, 0), client)));
        return device;
    }
};

// A finer picture whose device pixels alternate black and white both ways, whatever the turn.
QImage checkerboard(QSize size) {
    QImage image(size, QImage::Format_RGB888);
    for (int y = 0; y < size.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < size.width(); ++x)
            std::fill_n(line + 3 * x, 3, uchar((x + y) % 2 ? 0 : 255));
    }
    return image;
}

// The device pixels any part of a rectangle of logical pixels reaches.
QRect deviceBox(const QRect& r, double ratio) {
    return QRect(
        QPoint(int(std::floor(r.left() * ratio)), int(std::floor(r.top() * ratio))),
        QPoint(int(std::ceil((r.right() + 1) * ratio)) - 1, int(std::ceil((r.bottom() + 1) * ratio)) - 1));
}

} // namespace

// Twice as many device pixels as logical ones, and a finer picture with a detail of one device
// pixel: inside an element every device pixel shows its own pixel of that picture, black or
// white, never doubled and never grey; so does the element in the hand. Zoomed in to 200 % on a
// screen of ratio 1 the picture's detail shows the same way.
TEST(DevicePixelsTest, ADetailOfOneDevicePixelStaysSharp) {
    for (const auto& [ratio, zoom] : {std::pair{2.0, 1.0}, std::pair{1.0, 2.0}}) {
        SCOPED_TRACE(testing::Message() << "ratio " << ratio << " zoom " << zoom);
        DeviceBoard f;
        f.state.devicePicture = checkerboard(f.state.picture.size() * 2);
        f.renderer.redrawBoard({});
        if (zoom != 1.0)
            f.interaction.viewport().setScaleAbout(zoom, QPointF(0, 0));
        const auto checkInside = [&](const QImage& device, int i) {
            // Every device pixel showing the element's picture, with its neighbours to the right
            // and below: there the picture reaches on, whatever the shape.
            const Element& e = f.element(i);
            const QPoint cell(e.cellRect.left, e.cellRect.top);
            const QRegion picture = e.innerRegion.translated(cell);
            // On a finer screen the picture shows within the shape made at its pixels.
            const DeviceShapes::Shape fine = f.state.deviceShapes.shape(e, f.state.shapes);
            const QPoint fineOrigin = f.state.deviceShapes.origin(e);
            const Board& b = f.state.board;
            int checked = 0, wrong = 0;
            for (int y = 0; y + 1 < device.height(); ++y)
                for (int x = 0; x + 1 < device.width(); ++x) {
                    const auto shows = [&](int dx, int dy) {
                        const QPointF client((x + dx + 0.5) / ratio, (y + dy + 0.5) / ratio);
                        const QPointF board = b.toBoardF(client);
                        if (ratio != 1.0)
                            return fine.picture.contains(QPoint(int(std::floor(board.x() * ratio)),
                                                                int(std::floor(board.y() * ratio))) -
                                                         fineOrigin);
                        return picture.contains(
                            QPoint(int(std::floor(board.x())), int(std::floor(board.y()))));
                    };
                    if (!shows(0, 0) || !shows(1, 0) || !shows(0, 1))
                        continue;
                    ++checked;
                    const QRgb c = device.pixel(x, y);
                    const bool pure = c == qRgb(0, 0, 0) || c == qRgb(255, 255, 255);
                    wrong += !pure || c == device.pixel(x + 1, y) || c == device.pixel(x, y + 1);
                }
            EXPECT_GT(checked, 1000);
            EXPECT_EQ(wrong, 0);
        };
        // An element near the view's top left, on the table and in the hand.
        int first = 0;
        for (int i = 1; i < f.count(); ++i)
            if (f.state.puzzle.bodyRects[i].left + f.state.puzzle.bodyRects[i].top <
                f.state.puzzle.bodyRects[first].left + f.state.puzzle.bodyRects[first].top)
                first = i;
        checkInside(f.paint(ratio), first);
        const QPoint grab = f.state.board.toClient(QRect(f.grabPoint(first), QSize(1, 1))).topLeft();
        f.interaction.leftButtonDown(L, grab);
        f.interaction.mouseMove(L, grab + QPoint(3, 2));
        ASSERT_TRUE(f.state.input.lifted);
        checkInside(f.paint(ratio), first);
    }
}

// At ratios that are no whole number the table is still drawn at device pixels, and each device
// pixel shows an element exactly where the hit test at that device pixel finds one, by the
// smooth shape as drawn: what the player sees under the pointer is what the pointer takes. The window moves
// from screen to screen: each new ratio is drawn afresh, and back at ratio 1 the window shows
// what it always did.
TEST(DevicePixelsTest, HitTestingAgreesWithTheDrawnShapes) {
    const auto overlapping = [](DeviceBoard& f) {
        f.state.background.backgroundColor = QColor(0, 0, 250);
        // Elements overlapping one another, so edges meet edges as well as the table.
        for (int i = 0; i < f.count(); ++i)
            f.placeBody(i, QPoint(30 + 45 * (i % 4) + 7 * (i / 4), 25 + 50 * (i / 4)));
        f.renderer.redrawBoard({});
    };
    DeviceBoard f;
    overlapping(f);
    const QRgb background = qRgb(0, 0, 250);
    ASSERT_NE(f.state.settings.outlineColor.rgb(), background);
    for (const double ratio : {1.25, 1.5, 2.0}) {
        SCOPED_TRACE(testing::Message() << "ratio " << ratio);
        const QImage device = f.paint(ratio);
        int pure = 0, mismatched = 0, pointerMismatched = 0;
        const Board& b = f.state.board;
        const QPoint shift(int(std::lround((b.originX - b.scrollX) * ratio)),
                           int(std::lround((b.originY - b.scrollY) * ratio)));
        const QRect shown(0, 0, int(300 * ratio), int(220 * ratio));
        for (int y = shown.top(); y <= shown.bottom(); ++y)
            for (int x = shown.left(); x <= shown.right(); ++x) {
                // Every device pixel shows an element exactly where the hit test at that device
                // pixel finds one, by the smooth shape as drawn there.
                const int hit =
                    hitTestDevice(f.state.puzzle, f.state.shapes, f.state.deviceShapes, QPoint(x, y) - shift);
                mismatched += (hit < 0) != (device.pixel(x, y) == background);
                // The logical pixel the pointer is in over this device pixel, and whether the
                // device pixel lies within it alone.
                const QPoint logical(int(std::floor(x / ratio)), int(std::floor(y / ratio)));
                if (int(std::floor((x + 1) / ratio - 1e-9)) != logical.x() ||
                    int(std::floor((y + 1) / ratio - 1e-9)) != logical.y())
                    continue;
                ++pure;
                // The pointer, known to a logical pixel, takes what the device pixel at its
                // centre shows.
                if (QPoint(int(std::floor((logical.x() + 0.5) * ratio)),
                           int(std::floor((logical.y() + 0.5) * ratio))) == QPoint(x, y))
                    pointerMismatched +=
                        (f.interaction.hitTest(b.toBoard(logical)) < 0) != (device.pixel(x, y) == background);
            }
        EXPECT_GT(pure, shown.width() * shown.height() / 8);
        EXPECT_EQ(mismatched, 0);
        EXPECT_EQ(pointerMismatched, 0);
    }
    DeviceBoard fresh;
    overlapping(fresh);
    EXPECT_EQ(f.paint(1.0), fresh.paint(1.0));
}

// Several selected elements dragged together on a finer screen: while they move each shows,
// device pixel for device pixel (to a rounding), what the table shows of it once put down
// there, its edge smooth and its picture from the finer copy. At ratios that are no whole
// number the move lands on another fraction of a device pixel, and the look follows it.
TEST(DevicePixelsTest, AMovingSelectionShowsWhatTheTableShowsOfIt) {
    for (const double ratio : {2.0, 1.5}) {
        SCOPED_TRACE(testing::Message() << "ratio " << ratio);
        DeviceBoard f;
        f.state.devicePicture = checkerboard(f.state.picture.size() * 2);
        f.state.background.backgroundColor = QColor(0, 0, 250);
        const Board& b = f.state.board;
        const int step = 2 * f.state.puzzle.geometry.bitmapSize;
        for (int i = 0; i < f.count(); ++i)
            f.placeBody(i, b.toBoard(QPoint(30 + step * (i % 4), 30 + step * (i / 4))));
        f.renderer.redrawBoard({});
        const auto client = [&](int i) {
            return f.state.board.toClient(QRect(f.grabPoint(i), QSize(1, 1))).topLeft();
        };
        for (const int i : {0, 1, 4})
            f.interaction.leftButtonDown(Ctrl | L, client(i)), f.interaction.buttonUp();
        ASSERT_EQ(f.state.input.selection.elements(), (std::vector<std::int32_t>{0, 1, 4}));
        const QPoint grab = client(1);
        f.interaction.leftButtonDown(L, grab);
        f.interaction.mouseMove(L, grab + QPoint(5, 4));
        ASSERT_TRUE(f.state.input.selectionLifted);
        // Two moves, the second by an odd number of pixels: each look is made again at the new
        // fraction where the ratio is no whole number, and kept where it is.
        f.paint(ratio);
        f.interaction.mouseMove(L, grab + QPoint(37, 23));
        const QImage moving = f.paint(ratio);
        QRegion moved;
        for (const int i : {0, 1, 4})
            moved += deviceBox(f.state.board.toClient(f.state.puzzle.boardRegions[i].boundingRect()), ratio);
        f.interaction.buttonUp();
        ASSERT_FALSE(f.state.input.selectionLifted);
        const QImage still = f.paint(ratio);
        int compared = 0, differing = 0;
        for (const QRect& r : moved)
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x) {
                    const QRgb a = moving.pixel(x, y), c = still.pixel(x, y);
                    ++compared;
                    differing += std::abs(qRed(a) - qRed(c)) > 2 || std::abs(qGreen(a) - qGreen(c)) > 2 ||
                                 std::abs(qBlue(a) - qBlue(c)) > 2;
                }
        EXPECT_GT(compared, 3 * 64 * 64);
        EXPECT_EQ(differing, 0);
    }
}

// On a finer screen the table's texture shows its finer copy, a pixel of it to a device pixel,
// laid from the board's corner as the plain one is at ratio 1.
TEST(DevicePixelsTest, TheTextureShowsItsFinerCopy) {
    DeviceBoard f;
    BackgroundState& background = f.state.background;
    background.bitmapBackground = 1;
    background.backgroundBitmapId = 146;
    background.loadTexture();
    const QImage fine = background.fineTexture().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(fine.size(), background.texture.size() * 2);
    f.renderer.redrawBoard({});
    const QImage device = f.paint(2.0);
    const Board& b = f.state.board;
    QRegion covered;
    for (int i = 0; i < f.count(); ++i)
        covered +=
            deviceBox(b.toClient(f.state.puzzle.boardRegions[i].boundingRect()), 2.0).adjusted(-1, -1, 1, 1);
    const QRect table = deviceBox(b.toClient(b.rect()), 2.0).intersected(device.rect());
    const QPoint shift = 2 * QPoint(b.originX - b.scrollX, b.originY - b.scrollY);
    int checked = 0, wrong = 0;
    for (int y = table.top(); y <= table.bottom(); ++y)
        for (int x = table.left(); x <= table.right(); ++x) {
            if (covered.contains(QPoint(x, y)))
                continue;
            ++checked;
            const QPoint onBoard = QPoint(x, y) - shift;
            wrong +=
                device.pixel(x, y) != fine.pixel(onBoard.x() % fine.width(), onBoard.y() % fine.height());
        }
    EXPECT_GT(checked, 100000);
    EXPECT_EQ(wrong, 0);
}
