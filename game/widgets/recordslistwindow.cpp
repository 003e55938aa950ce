#include "game/widgets/recordslistwindow.h"

#include "game/gameclock.h"
#include "game/widgets/recordswindow.h"
#include "res/stringids.h"
#include "res/strings.h"
#include "ui/skin.h"
#include "ui/skinbutton.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>

namespace {
// Dialog units: the window's width, its margin and one line of text.
constexpr int kWidth = 330;
constexpr int kMargin = 7;
constexpr int kRowH = 10;
constexpr int kListH = 120;
} // namespace

RecordsListWindow::RecordsListWindow(std::vector<FinishReport> reports, QWidget* parent)
    : CSkinDialog(templateId, parent), reports_(std::move(reports)) {
    setObjectName(QStringLiteral("recordsListWindow"));
    setWindowTitle(loadString(RecordsWindow::title));
    const int inner = kWidth - 2 * kMargin;
    int y = kMargin;
    addStatic(-1, loadString(Str::RecordsListHeading), QRect(kMargin, y, inner, kRowH), Centred | Sunken);
    y += kRowH + 4;

    if (reports_.empty()) {
        addStatic(noteText, loadString(Str::NoRecordsAtAll), QRect(kMargin, y, inner, 2 * kRowH), Centred);
        y += 2 * kRowH;
    } else {
        list_ = new QTreeWidget(this);
        list_->setGeometry(Skin::dluRect(kMargin, y, inner, kListH));
        registerControl(list_, listControl);
        list_->setRootIsDecorated(false);
        list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list_->setUniformRowHeights(true);
        list_->setSelectionMode(QAbstractItemView::SingleSelection);
        list_->setHeaderLabels({loadString(Str::RecordsPictureColumn), loadString(Str::RecordsCutColumn),
                                loadString(Str::RecordsBestColumn)});
        QPalette pal = list_->palette();
        pal.setColor(QPalette::Base, Qt::white);
        pal.setColor(QPalette::Text, Qt::black);
        list_->setPalette(pal);
        for (const FinishReport& report : reports_) {
            auto* item = new QTreeWidgetItem(list_);
            const QString cut = RecordsWindow::describeCut(report.record.key);
            item->setText(0, RecordsWindow::describePicture(report));
            item->setText(1, cut);
            item->setToolTip(1, cut);
            item->setText(2, GameClock::format(report.best.front().seconds));
        }
        // The list is not laid out yet: its columns share its width less the scroll bar's.
        const int width =
            list_->width() - list_->verticalScrollBar()->sizeHint().width() - 2 * list_->frameWidth();
        list_->setColumnWidth(0, width * 3 / 10);
        list_->setColumnWidth(1, width * 11 / 20);
        list_->header()->setStretchLastSection(true);
        list_->setCurrentItem(list_->topLevelItem(0));
        connect(list_, &QTreeWidget::itemActivated, this,
                [this](QTreeWidgetItem* item) { openRow(list_->indexOfTopLevelItem(item)); });
        y += kListH + 3;
        addStatic(noteText, loadString(Str::RecordsListHint), QRect(kMargin, y, inner, kRowH), Centred);
        y += kRowH;
    }
    y += 6;
    CSkinButton* ok = addButton(1, QStringLiteral("OK"), QRect((kWidth - 50) / 2, y, 50, 14), !list_);
    if (list_)
        list_->setFocus(Qt::OtherFocusReason);
    else
        ok->setFocus(Qt::OtherFocusReason);
    setDialogSize(kWidth, y + 14 + kMargin);
}

void RecordsListWindow::openRow(int row) {
    if (row < 0 || row >= int(reports_.size()) || !open_)
        return;
    open_(reports_[std::size_t(row)]);
}
