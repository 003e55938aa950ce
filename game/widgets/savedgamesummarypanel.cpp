#include "game/widgets/savedgamesummarypanel.h"

#include "game/gameclock.h"
#include "game/savedgamestore.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <QLabel>
#include <QLocale>
#include <QPixmap>
#include <QVBoxLayout>

namespace {
QLabel* line(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}
} // namespace

SavedGameSummaryPanel::SavedGameSummaryPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("savedGameSummary"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("summaryPicture"));
    picture_->setFixedSize(pictureWidth + 2, pictureHeight + 2);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout->addWidget(picture_, 0, Qt::AlignHCenter);
    layout->addSpacing(2);
    elements_ = line(this, "summaryElements");
    joined_ = line(this, "summaryJoined");
    clock_ = line(this, "summaryClock");
    saved_ = line(this, "summarySaved");
    notice_ = line(this, "summaryNotice");
    notice_->setAlignment(Qt::AlignCenter);
    notice_->setWordWrap(true);
    for (QLabel* label : {elements_, joined_, clock_, saved_, notice_})
        layout->addWidget(label);
    layout->addStretch(1);
    clear();
}

void SavedGameSummaryPanel::clear() {
    summary_ = SavedGameSummary();
    picture_->clear();
    for (QLabel* label : {elements_, joined_, clock_, saved_, notice_})
        label->clear();
    notice_->hide();
}

void SavedGameSummaryPanel::showGame(const SavedGameStore& store, const QString& name) {
    clear();
    if (name.isEmpty())
        return;
    if (SavedGameStore::isValidName(name))
        summary_ = readSavedGameSummary(store.picturePath(name), store.gamePath(name),
                                        QSize(pictureWidth, pictureHeight));
    if (!summary_.ok) {
        notice_->setText(loadString(Str::SummaryDamaged));
        notice_->show();
        return;
    }
    const SavedGameOverview& g = summary_.game;
    picture_->setPixmap(QPixmap::fromImage(summary_.picture));
    elements_->setText(loadString(Str::SummaryElements).arg(g.count()).arg(g.rows).arg(g.columns));
    joined_->setText(
        loadString(Str::SummaryJoined).arg(g.joined >= 0 ? QString::number(g.joined) : QStringLiteral("—")));
    clock_->setText(loadString(Str::SummaryClock).arg(GameClock::format(g.clockCarried)));
    saved_->setText(loadString(Str::SummarySaved)
                        .arg(summary_.savedAt.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"))));
}

QString SavedGameSummaryPanel::elementsText() const {
    return elements_->text();
}
QString SavedGameSummaryPanel::joinedText() const {
    return joined_->text();
}
QString SavedGameSummaryPanel::clockText() const {
    return clock_->text();
}
QString SavedGameSummaryPanel::savedText() const {
    return saved_->text();
}
QString SavedGameSummaryPanel::noticeText() const {
    return notice_->isHidden() ? QString() : notice_->text();
}
