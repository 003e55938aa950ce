#include "game/widgets/recordswindow.h"

#include "game/gameclock.h"
#include "res/stringids.h"
#include "res/strings.h"
#include "ui/skin.h"
#include "ui/skinbutton.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace {

// Dialog units: the window's width, the label column, the value column and one row.
constexpr int kWidth = 220;
constexpr int kMargin = 7;
constexpr int kValueX = 58;
constexpr int kRowH = 10;
// Columns of the best times: place, time, date.
constexpr int kPlaceX = 20, kPlaceW = 16;
constexpr int kTimeX = 44, kTimeW = 50;
constexpr int kDateX = 104, kDateW = 90;

QString text(int id) {
    return loadString(id);
}

} // namespace

RecordsWindow::RecordsWindow(const FinishReport& report, QWidget* parent)
    : CSkinDialog(templateId, parent), report_(report) {
    setObjectName(QStringLiteral("recordsWindow"));
    setWindowTitle(text(title));
    const int valueW = kWidth - kValueX - kMargin;

    int y = kMargin;
    auto pair = [&](int label, int id, const QString& value, int lines) {
        addStatic(-1, text(label), QRect(kMargin, y, kValueX - kMargin, kRowH));
        QLabel* shown = addStatic(id, value, QRect(kValueX, y, valueW, kRowH * lines));
        y += kRowH * lines + 2;
        return shown;
    };
    QLabel* picture = pair(pictureLabel, pictureText, QString(), 1);
    // A file name has no blanks to wrap at: it is shortened in the middle instead.
    picture->setWordWrap(false);
    const QString pictureName = describePicture(report_);
    picture->setText(
        QFontMetrics(picture->font()).elidedText(pictureName, Qt::ElideMiddle, picture->width()));
    picture->setToolTip(pictureName);
    QFont bold = picture->font();
    bold.setBold(true);
    // Looked up during play or from the list, there is no time of this game to show.
    if (report_.finished)
        pair(timeLabel, timeText, GameClock::format(report_.record.seconds), 1)->setFont(bold);
    pair(elementsLabel, elementsText, QString::number(report_.elements), 1);
    const QString cut = describeCut(report_.record.key);
    pair(cutLabel, cutText, cut, linesFor(cut, valueW));

    y += 2;
    addStatic(-1, text(bestHeading), QRect(kMargin, y, kWidth - 2 * kMargin, kRowH), Centred | Sunken);
    y += kRowH + 4;
    for (int i = 0; i < int(report_.best.size()); ++i) {
        const Record& r = report_.best[std::size_t(i)];
        const bool mine = i == report_.place;
        if (mine) {
            // This game's row stands out as the headings do: on the solid brush, framed.
            QLabel* band =
                addStatic(-1, QString(), QRect(kMargin, y - 1, kWidth - 2 * kMargin, kRowH), Sunken);
            band->lower();
        }
        const QString cells[3] = {QStringLiteral("%1.").arg(i + 1), GameClock::format(r.seconds),
                                  formatDate(r.finishedAt)};
        const int xs[3] = {kPlaceX, kTimeX, kDateX}, ws[3] = {kPlaceW, kTimeW, kDateW};
        for (int c = 0; c < 3; ++c) {
            QLabel* cell = addStatic(firstRow + 3 * i + c, cells[c], QRect(xs[c], y, ws[c], kRowH - 1),
                                     c == 0 ? Right : Left);
            if (mine) {
                cell->setFont(bold);
                QPalette pal = cell->palette();
                pal.setColor(QPalette::WindowText, Qt::white);
                cell->setPalette(pal);
            }
        }
        y += kRowH;
    }

    const QString said = note();
    if (!said.isEmpty()) {
        y += 4;
        const int lines = linesFor(said, kWidth - 2 * kMargin);
        addStatic(noteText, said, QRect(kMargin, y, kWidth - 2 * kMargin, kRowH * lines), Centred);
        y += kRowH * lines;
    }
    y += 6;
    CSkinButton* ok = addButton(1, QStringLiteral("OK"), QRect((kWidth - 50) / 2, y, 50, 14), true);
    ok->setFocus(Qt::OtherFocusReason);
    setDialogSize(kWidth, y + 14 + kMargin);
}

int RecordsWindow::linesFor(const QString& words, int widthDlu) const {
    const QFontMetrics metrics(font());
    const int height =
        metrics.boundingRect(QRect(0, 0, Skin::dluX(widthDlu), 100000), Qt::TextWordWrap, words).height();
    return std::max(1, (height + metrics.lineSpacing() - 1) / metrics.lineSpacing());
}

QString RecordsWindow::note() const {
    QStringList notes;
    if (!report_.finished) {
        if (report_.best.empty())
            notes << text(Str::NoRecordsForGame);
    } else if (report_.place == 0 && report_.best.size() > 1)
        notes << text(newBest);
    else if (report_.place < 0)
        notes << text(notAmongBest);
    if (!report_.written)
        notes << text(notWritten).arg(RecordStore::fileName());
    else if (report_.damaged && report_.notAFile)
        notes << text(notAFile).arg(RecordStore::fileName());
    else if (report_.damaged)
        notes << text(damagedFile).arg(RecordStore::damagedFileName());
    return notes.join(QLatin1Char('\n'));
}

QString RecordsWindow::describeCut(const RecordKey& key) {
    QStringList words;
    words << text(cutSizes).arg(key.columns).arg(key.rows).arg(key.elementSize);
    words << text(key.rotateElements ? turned : notTurned);
    if (key.mosaic)
        words << text(mosaic);
    if (!key.irregularBase)
        words << text(squareBase);
    if (!key.shiftKnobs)
        words << text(centredKnobs);
    words << text(key.exactAssembly ? exactAssembly : tolerantAssembly);
    return words.join(QStringLiteral(", "));
}

QString RecordsWindow::describePicture(const FinishReport& report) {
    if (!report.pictureName.isEmpty())
        return report.pictureName;
    if (!report.gameName.isEmpty())
        return text(savedGame).arg(report.gameName);
    const RecordKey& k = report.record.key;
    return text(unnamedPicture).arg(qint64(k.columns) * k.elementSize).arg(qint64(k.rows) * k.elementSize);
}

QString RecordsWindow::formatDate(std::int64_t secondsSinceEpoch) {
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}
