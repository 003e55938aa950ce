#pragma once

#include "ui/skindialog.h"

#include <functional>

class QListWidget;
class QListWidgetItem;
class SavedGameStore;
class SavedGameSummaryPanel;

// "Загрузить Игру": the saved games to choose from, the first one selected.
class CLoadGameDialog : public CSkinDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 294;
    static constexpr int gameList = 1077;
    static constexpr int loadButton = 1;
    static constexpr int cancelButton = 2;

    explicit CLoadGameDialog(SavedGameStore& store, QWidget* parent = nullptr);

    // The selected entry's text once the dialog ended with OK; empty when nothing was selected.
    const QString& chosenName() const { return chosenName_; }
    QListWidget* list() const { return list_; }
    // Beside the list: what the selected game is.
    SavedGameSummaryPanel* summary() const { return summary_; }

    void load();
    // Told the name of every game selected, the first one included (set before the dialog is
    // initialised): the game may be made ready to read while the player looks.
    void setSelectionWatcher(std::function<void(const QString&)> watcher) { watcher_ = std::move(watcher); }

protected:
    void initDialog() override;

private:
    SavedGameStore& store_;
    QListWidget* list_ = nullptr;
    SavedGameSummaryPanel* summary_ = nullptr;
    QString chosenName_;
    std::function<void(const QString&)> watcher_;
};

// The list box both dialogs use: white, not sorted, one name per entry.
QListWidget* makeSavedGamesList(QWidget* parent, const QRect& dluRect);
// Fills it with the names, a damaged one shown as such; each entry keeps its name as read.
void fillSavedGamesList(QListWidget* list, const QStringList& names);
// The name an entry stands for.
QString savedGameName(const QListWidgetItem* item);
