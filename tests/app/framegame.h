#pragma once

#include "app/mainframe.h"
#include "board/widgets/boardview.h"
#include "fakes.h"
#include "model/cutsupport.h"

#include <QDialog>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <cmath>

// A main frame on fake services with a game generated the way the player makes one, shown so
// that mouse events can go to its window, and a record of the modal windows it opened.
struct FrameGame {
    FakeServices fakes;
    CMainFrame frame{fakes.services()};
    QStringList modals;
    // Finished games keep their times here, not beside the test program.
    QTemporaryDir recordsFolder;

    struct Options {
        int rows = 4;
        int columns = 5;
        int size = 64;
        bool rotate = true;
        bool mosaic = false;
        bool squareBase = false;
        bool exact = false;
    };

    explicit FrameGame(const Options& o) {
        frame.setModalRunner([this](QDialog& d) {
            modals << d.objectName();
            return 0;
        });
        frame.creation().setRandom(std::make_unique<StandardRandom>());
        frame.records().setFolder(recordsFolder.path());
        GameState& s = frame.state();
        s.picture = coordinatePicture(o.columns * o.size, o.rows * o.size);
        s.cut.rotateElements = o.rotate;
        s.cut.mosaic = o.mosaic;
        s.cut.irregularBase = o.squareBase ? 0 : 1;
        s.settings.exactAssembly = o.exact;
        s.cutRows = o.rows;
        s.cutColumns = o.columns;
        s.cutElementSize = o.size;
        s.flags.pictureLoaded = 1;
        s.flags.cutDone = 1;
        // The whole fake screen, so the scatter grid and a free place for the picture are seen.
        frame.resize(1024, 768);
        frame.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
        EXPECT_TRUE(frame.runCommand(Cmd::CreateElements));
        QCoreApplication::processEvents();
    }

    GameState& state() { return frame.state(); }
    Puzzle& puzzle() { return frame.state().puzzle; }
    BoardView* view() { return frame.boardView(); }
    QWindow* window() { return frame.windowHandle(); }
    // A client point of the board view in the window's coordinates.
    QPoint inWindow(QPoint client) { return view()->mapTo(&frame, client); }
    // The client pixel that shows a board pixel, at any scale.
    QPoint client(QPoint board) {
        const QPointF c = state().board.toClientF(QPointF(board) + QPointF(0.5, 0.5));
        return {int(std::floor(c.x())), int(std::floor(c.y()))};
    }

    // A client point where element i is the topmost element.
    QPoint grabPoint(int i) {
        const Puzzle& p = puzzle();
        QRegion covered;
        for (const int j : p.stackOrder) {
            if (j == i)
                break;
            covered += p.boardRegions[j];
        }
        const QRegion free = p.boardRegions[i].subtracted(covered);
        const Rect& b = p.bodyRects[i];
        QPoint point((b.left + b.right) / 2, (b.top + b.bottom) / 2);
        if (!free.contains(point) && !free.isEmpty())
            point = free.begin()->center();
        return client(point);
    }
    QPoint body(int i) const {
        const Rect& b = frame.state().puzzle.bodyRects[i];
        return {b.left, b.top};
    }

    // The player's hand: events sent to the real window.
    void press(Qt::MouseButton button, QPoint client, Qt::KeyboardModifiers m = {}) {
        QTest::mousePress(window(), button, m, inWindow(client));
    }
    void moveTo(QPoint client) { QTest::mouseMove(window(), inWindow(client)); }
    void release(Qt::MouseButton button, QPoint client, Qt::KeyboardModifiers m = {}) {
        QTest::mouseRelease(window(), button, m, inWindow(client));
    }
    void doubleClick(Qt::MouseButton button, QPoint client, Qt::KeyboardModifiers m = {}) {
        QTest::mouseDClick(window(), button, m, inWindow(client));
    }
    // Drags element i so that its body moves by `by` board pixels, at any scale (to the nearest
    // board pixel a view pixel shows).
    void dragBody(int i, QPoint by) {
        const QPoint p = grabPoint(i);
        const QPoint to = client(state().board.toBoard(p) + by);
        press(Qt::LeftButton, p);
        moveTo(to);
        release(Qt::LeftButton, to);
    }
    void drag(int i, QPoint by, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers m = {}) {
        const QPoint p = grabPoint(i);
        press(button, p, m);
        moveTo(p + by);
        release(button, p + by, m);
    }
};
