#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

class QFontMetrics;

// The hint tip's contents and where it goes: the labels "ряд" and "колонка" on the left of two
// lines, the numbers at their right ends.
struct HintTipLayout {
    QRect window;   // screen coordinates, border included
    QRect textRect; // inside the window's border
    QString labels;
    QString numbers;
};

// Arial, 9 points, bold.
QFont hintTipFont();

// Lays the tip out at the cursor's screen position, moved left or up so that it ends before the
// right and bottom limits (exclusive) of the usable screen area. row and column are 1-based.
HintTipLayout layoutHintTip(const QFontMetrics& metrics, int row, int column, QPoint cursor, int rightLimit,
                            int bottomLimit);
