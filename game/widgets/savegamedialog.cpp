#include "game/widgets/savegamedialog.h"

#include "game/savedgamestore.h"
#include "game/widgets/loadgamedialog.h"
#include "model/services.h"
#include "res/stringids.h"
#include "res/strings.h"
#include "ui/skinbutton.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

CSaveGameDialog::CSaveGameDialog(SavedGameStore& store, IMessageBox& messages, QWidget* parent)
    : CSkinDialog(templateId, parent), store_(store), messages_(messages) {
    setObjectName(QStringLiteral("CSaveGameDialog"));
    setWindowTitle(QString::fromUtf8("Сохранить Игру"));
    setDialogSize(174, 126);
    setContextHelp({{nameEdit, 16384},
                    {gameList, 16385},
                    {deleteButton, 16387},
                    {saveButton, 16386},
                    {cancelButton, 40961}});

    edit_ = addEdit(nameEdit, QRect(7, 7, 146, 12)); // leaves room for the help button
    edit_->setMaxLength(SavedGameStore::maxNameLength);
    list_ = makeSavedGamesList(this, QRect(7, 24, 160, 76));
    registerControl(list_, gameList);
    save_ = addButton(saveButton, QString::fromUtf8("&Сохранить"), QRect(7, 106, 50, 14), true);
    delete_ = addButton(deleteButton, QString::fromUtf8("&Удалить"), QRect(62, 106, 50, 14));
    addButton(cancelButton, QString::fromUtf8("&Отменить"), QRect(117, 106, 50, 14));
    // Save decides itself whether the dialog may close.
    disconnect(save_, &QPushButton::clicked, this, &QDialog::accept);
    connect(save_, &QPushButton::clicked, this, &CSaveGameDialog::save);
    connect(delete_, &QPushButton::clicked, this, &CSaveGameDialog::deleteSelected);
    // Only the player's own changes count; programmatic ones run with the signals blocked.
    connect(list_, &QListWidget::itemSelectionChanged, this, &CSaveGameDialog::selectionChanged);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { save(); });
    connect(edit_, &QLineEdit::textChanged, this, &CSaveGameDialog::nameEdited);
    save_->setEnabled(false);
    delete_->setEnabled(false);
}

void CSaveGameDialog::initDialog() {
    CSkinDialog::initDialog();
    store_.readIndex();
    const QSignalBlocker block(list_);
    fillSavedGamesList(list_, store_.names());
    list_->clearSelection();
    list_->setCurrentRow(-1);
}

void CSaveGameDialog::selectRow(int row) {
    const QSignalBlocker block(list_);
    if (row < 0) {
        list_->clearSelection();
        list_->setCurrentRow(-1);
    } else {
        list_->setCurrentRow(row);
    }
}

void CSaveGameDialog::selectionChanged() {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
        delete_->setEnabled(false);
        return;
    }
    delete_->setEnabled(true);
    const QString name = savedGameName(selected.front());
    if (!SavedGameStore::isValidName(name)) {
        // A damaged entry can only be deleted: no game is saved under it.
        const QSignalBlocker block(edit_);
        edit_->clear();
        save_->setEnabled(false);
        return;
    }
    save_->setEnabled(true);
    edit_->setText(name);
}

void CSaveGameDialog::nameEdited() {
    const QString text = edit_->text();
    if (text.isEmpty()) {
        save_->setEnabled(false);
        return;
    }
    save_->setEnabled(true);
    int found = -1;
    for (int k = 0; k < list_->count(); ++k)
        if (savedGameName(list_->item(k)).compare(text, Qt::CaseInsensitive) == 0) {
            found = k;
            break;
        }
    selectRow(found);
    delete_->setEnabled(found >= 0);
}

void CSaveGameDialog::save() {
    const QString name = edit_->text();
    if (!SavedGameStore::isValidName(name)) {
        messages_.messageBox(loadString(Str::BadGameName), MessageKind::Warning, MessageButtons::Ok);
        edit_->setFocus();
        return;
    }
    const int listed = store_.find(name);
    if (listed >= 0) {
        if (messages_.messageBox(loadString(Str::ReplaceSavedGame), MessageKind::Question,
                                 MessageButtons::YesNo) != MessageResult::Yes)
            return;
        // The listed spelling: on a file system that tells letter cases apart, files under the
        // typed spelling would not replace the listed game's files.
        chosenName_ = store_.names().at(listed);
        accept();
        return;
    }
    if (store_.names().size() >= SavedGameStore::maxGames) {
        messages_.messageBox(loadString(Str::TooManySavedGames), MessageKind::Information,
                             MessageButtons::Ok);
        return;
    }
    store_.appendName(name);
    chosenName_ = name;
    accept();
}

void CSaveGameDialog::deleteSelected() {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty() || savedGameName(selected.front()).isEmpty())
        return;
    const QString name = savedGameName(selected.front());
    store_.deleteGame(name);
    {
        const QSignalBlocker block(list_);
        delete list_->takeItem(list_->row(selected.front()));
        list_->clearSelection();
        list_->setCurrentRow(-1);
    }
    {
        const QSignalBlocker block(edit_);
        edit_->clear();
    }
    delete_->setEnabled(false);
    save_->setEnabled(false);
}
