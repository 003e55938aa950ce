#include "ui/progressdialog.h"

#include "res/strings.h"
#include "ui/skin.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>

namespace {
const QColor kStripFill(153, 51, 0);
constexpr int kBlockWidth = 14;
constexpr int kStripWidth = 265;
} // namespace

CProgressDialog::CProgressDialog(QWidget* owner, int captionId) : QDialog(owner), owner_(owner) {
    setObjectName(QStringLiteral("progressDialog"));
    setWindowTitle(loadString(captionId));
    setFixedSize(280, 66);
    auto* done = new QLabel(QStringLiteral("Выполнено"), this);
    done->setGeometry(7, 8, 120, 20);
    percent_ = new QLabel(QStringLiteral(" 0 %"), this);
    percent_->setObjectName(QStringLiteral("control%1").arg(percentId));
    percent_->setGeometry(200, 8, 72, 20);
    percent_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* l : {done, percent_}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, SkinColor::label);
        l->setPalette(p);
    }
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("control%1").arg(barId));
    bar_->hide();
    // The strip (7, 36)-(272, 57), centred horizontally in the client area.
    strip_ = QRect((width() - kStripWidth) / 2, 36, kStripWidth, 21);
    if (owner_ && owner_->isEnabled()) {
        ownerFocus_ = owner_->window()->focusWidget();
        owner_->setEnabled(false);
        disabledOwner_ = true;
    }
}

CProgressDialog::~CProgressDialog() {
    if (disabledOwner_ && owner_) {
        owner_->setEnabled(true);
        // Without a window manager nothing activates the owner again once this window has gone,
        // and the keys would reach no window at all.
        const QWidget* active = QApplication::activeWindow();
        if (!active || active == this)
            owner_->window()->activateWindow();
        if (ownerFocus_)
            ownerFocus_->setFocus(Qt::OtherFocusReason);
    }
}

void CProgressDialog::begin(int low, int high, int step) {
    low_ = low;
    high_ = high;
    step_ = step > 0 ? step : 1;
    position_ = low;
    blocks_ = 0;
    bar_->setRange(low, high);
    bar_->setValue(low);
    show();
    QApplication::processEvents();
}

QString CProgressDialog::percentText() const {
    const int span = high_ - low_;
    const int percent =
        span > 0 ? static_cast<int>((static_cast<long long>(position_) - low_) * 100 / span) : 0;
    return QStringLiteral("%1%2").arg(percent).arg(QLatin1Char('%'));
}

void CProgressDialog::setPosition(int position) {
    // Let the window breathe: paint, and take (and drop) input meant for the disabled owner.
    QApplication::processEvents();
    position_ = position;
    bar_->setValue(position);
    const QString text = percentText();
    if (percent_->text() != text)
        percent_->setText(text);
    if ((position_ - low_) / step_ >= blocks_) {
        ++blocks_;
        update(strip_);
    }
}

void CProgressDialog::end() {
    hide();
}

void CProgressDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Skin::objects().stripeBrush);
    const int shown = std::min(blocks_, kStripWidth / kBlockWidth + 1);
    const QImage& block = block_.at(devicePixelRatioF());
    for (int b = 0; b < shown; ++b)
        painter.drawImage(strip_.left() + b * kBlockWidth, strip_.top(), block);
    const int restLeft = strip_.left() + shown * kBlockWidth + 1;
    const int restWidth = 266 - kBlockWidth * shown;
    if (restWidth > 0)
        painter.fillRect(QRect(restLeft, strip_.top(), restWidth, 22).intersected(strip_), kStripFill);
}
