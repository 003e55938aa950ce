#pragma once

#include "game/gamerecords.h"
#include "ui/skindialog.h"

#include <QFont>

class QLabel;

// The small window after the congratulation: the time of the finished game, its number of
// elements and cut, and the best times of the same picture and cut with this game's marked.
// OK, Enter or Escape closes it.
class RecordsWindow : public CSkinDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 320;
    // Texts of the string table.
    enum Text {
        title = 32900,
        pictureLabel,
        timeLabel,
        elementsLabel,
        cutLabel,
        bestHeading,
        cutSizes,
        turned,
        notTurned,
        mosaic,
        squareBase,
        centredKnobs,
        tolerantAssembly,
        exactAssembly,
        newBest,
        notAmongBest,
        damagedFile,
        notWritten,
        unnamedPicture,
        savedGame,
        notAFile = 32923,
    };
    // Controls that tests and the help look for.
    static constexpr int pictureText = 1001;
    static constexpr int timeText = 1002;
    static constexpr int elementsText = 1003;
    static constexpr int cutText = 1004;
    static constexpr int noteText = 1005;
    static constexpr int firstRow = 1100; // rows of the best times: place, time and date each

    RecordsWindow(const FinishReport& report, QWidget* parent = nullptr);

    const FinishReport& report() const { return report_; }
    // The cut as one line of words: sizes, then the options that make it.
    static QString describeCut(const RecordKey& key);
    // How the picture is named: its file, else its saved game, else its size.
    static QString describePicture(const FinishReport& report);
    // "dd.MM.yyyy HH:mm" in local time.
    static QString formatDate(std::int64_t secondsSinceEpoch);

private:
    QString note() const;
    // Lines the words take, wrapped at blanks, in a column this wide.
    int linesFor(const QString& words, int widthDlu) const;

    FinishReport report_;
};
