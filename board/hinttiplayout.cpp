#include "board/hinttiplayout.h"

#include "res/stringids.h"
#include "res/strings.h"

#include <QFontMetrics>

#include <algorithm>

namespace {

constexpr int marginX = 5;
constexpr int marginY = 2;

QString formatNumber(const QString& format, int value) {
    QString text = format;
    return text.replace(QStringLiteral("%d"), QString::number(value));
}

} // namespace

QFont hintTipFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    font.setWeight(QFont::Bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

HintTipLayout layoutHintTip(const QFontMetrics& metrics, int row, int column, QPoint cursor, int rightLimit,
                            int bottomLimit) {
    const QString format = loadString(Str::HintColumn);
    const QString rowLine = formatNumber(format, row);
    const QString columnLine = formatNumber(format, column);
    const int w = std::max(metrics.boundingRect(QRect(), Qt::TextSingleLine, rowLine).width(),
                           metrics.boundingRect(QRect(), Qt::TextSingleLine, columnLine).width());
    const int h =
        metrics.boundingRect(QRect(0, 0, w, 0), Qt::AlignLeft, rowLine + QLatin1Char('\n') + columnLine)
            .height();
    int x = cursor.x(), y = cursor.y();
    if (x + w + 2 * marginX > rightLimit)
        x = rightLimit - 2 * marginX - w;
    if (y + h + 2 * marginY > bottomLimit)
        y = bottomLimit - 2 * marginY - h;
    HintTipLayout layout;
    layout.window = QRect(x, y, w + 2 * marginX, h + 2 * marginY);
    layout.textRect = QRect(marginX, marginY, w, h);
    layout.labels = loadString(Str::HintLabels);
    layout.numbers = QStringLiteral("%1\n%2").arg(row).arg(column);
    return layout;
}
