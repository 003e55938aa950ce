#pragma once

#include "ui/skindialog.h"

class CSkinButton;
class IMessageBox;
class QLineEdit;
class QListWidget;
class SavedGameStore;

// "Сохранить Игру": a name typed or picked from the saved games, with replacing, the limit of
// ten games and deleting.
class CSaveGameDialog : public CSkinDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 293;
    static constexpr int nameEdit = 1037;
    static constexpr int gameList = 1077;
    static constexpr int saveButton = 1;
    static constexpr int deleteButton = 1004;
    static constexpr int cancelButton = 2;

    CSaveGameDialog(SavedGameStore& store, IMessageBox& messages, QWidget* parent = nullptr);

    // The name the game is to be saved under once the dialog ended with OK.
    const QString& chosenName() const { return chosenName_; }

    QLineEdit* edit() const { return edit_; }
    QListWidget* list() const { return list_; }

    // The button handlers, as the buttons and a double click run them.
    void save();
    void deleteSelected();

protected:
    void initDialog() override;

private:
    void selectionChanged();
    void nameEdited();
    void selectRow(int row);

    SavedGameStore& store_;
    IMessageBox& messages_;
    QLineEdit* edit_ = nullptr;
    QListWidget* list_ = nullptr;
    CSkinButton* save_ = nullptr;
    CSkinButton* delete_ = nullptr;
    QString chosenName_;
};
