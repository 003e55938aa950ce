#pragma once

#include "game/savedgamesummary.h"

#include <QWidget>

class QLabel;
class SavedGameStore;

// The panel beside the load dialog's list: what the selected game is before it is loaded. A
// small picture of its cut picture, its elements, how many are joined, its clock and when it was
// saved; for a damaged game a short notice instead.
class SavedGameSummaryPanel : public QWidget {
    Q_OBJECT
public:
    // The box the small picture fits, in pixels.
    static constexpr int pictureWidth = 156;
    static constexpr int pictureHeight = 100;

    explicit SavedGameSummaryPanel(QWidget* parent = nullptr);

    // Shows the game of that name, read through the store's paths; an empty name shows nothing.
    void showGame(const SavedGameStore& store, const QString& name);
    const SavedGameSummary& summary() const { return summary_; }
    // The texts shown, top to bottom (tests, the help).
    QString elementsText() const;
    QString joinedText() const;
    QString clockText() const;
    QString savedText() const;
    QString noticeText() const;
    const QLabel* pictureLabel() const { return picture_; }

private:
    void clear();

    SavedGameSummary summary_;
    QLabel* picture_ = nullptr;
    QLabel* elements_ = nullptr;
    QLabel* joined_ = nullptr;
    QLabel* clock_ = nullptr;
    QLabel* saved_ = nullptr;
    QLabel* notice_ = nullptr;
};
