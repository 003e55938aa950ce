#include "game/widgets/loadgamedialog.h"

#include "game/savedgamestore.h"
#include "game/widgets/savedgamesummarypanel.h"
#include "ui/skin.h"
#include "ui/skinbutton.h"

#include <QListWidget>

namespace {
// The summary panel's width in dialog units: the small picture and its frame.
constexpr int kSummaryWidth = 106;
} // namespace

QListWidget* makeSavedGamesList(QWidget* parent, const QRect& dlu) {
    auto* list = new QListWidget(parent);
    list->setGeometry(Skin::dluRect(dlu.x(), dlu.y(), dlu.width(), dlu.height()));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette pal = list->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    list->setPalette(pal);
    return list;
}

void fillSavedGamesList(QListWidget* list, const QStringList& names) {
    list->clear();
    for (const QString& name : names) {
        auto* item = new QListWidgetItem(SavedGameStore::shownName(name), list);
        item->setData(Qt::UserRole, name);
    }
}

QString savedGameName(const QListWidgetItem* item) {
    return item ? item->data(Qt::UserRole).toString() : QString();
}

CLoadGameDialog::CLoadGameDialog(SavedGameStore& store, QWidget* parent)
    : CSkinDialog(templateId, parent), store_(store) {
    setObjectName(QStringLiteral("CLoadGameDialog"));
    setWindowTitle(QString::fromUtf8("Загрузить Игру"));
    // The template's 174 units, and beside them the summary of the selected game.
    setDialogSize(174 + kSummaryWidth + 7, 124);
    setContextHelp({{gameList, 4096}, {loadButton, 4097}, {cancelButton, 40961}});

    list_ = makeSavedGamesList(this, QRect(7, 16, 160, 79)); // below the help button
    registerControl(list_, gameList);
    CSkinButton* loadBtn =
        addButton(loadButton, QString::fromUtf8("&Загрузить"), QRect(25, 102, 55, 14), true);
    addButton(cancelButton, QString::fromUtf8("&Отмена"), QRect(94, 102, 55, 14));
    // Load takes the selected name before the dialog closes.
    disconnect(loadBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(loadBtn, &QPushButton::clicked, this, &CLoadGameDialog::load);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { load(); });

    summary_ = new SavedGameSummaryPanel(this);
    summary_->setGeometry(Skin::dluRect(174, 16, kSummaryWidth, 101));
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        const QListWidgetItem* item = list_->item(row);
        summary_->showGame(store_, savedGameName(item));
        if (watcher_)
            watcher_(savedGameName(item));
    });
}

void CLoadGameDialog::initDialog() {
    CSkinDialog::initDialog();
    store_.readIndex();
    fillSavedGamesList(list_, store_.names());
    if (list_->count() > 0)
        list_->setCurrentRow(0);
}

void CLoadGameDialog::load() {
    const QListWidgetItem* item = list_->currentItem();
    chosenName_ = item && item->isSelected() ? savedGameName(item) : QString();
    accept();
}
