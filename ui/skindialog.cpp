#include "ui/skindialog.h"

#include "ui/helpwindow.h"
#include "ui/skin.h"
#include "ui/skinbutton.h"
#include "ui/skincheckbox.h"
#include "ui/skincombobox.h"

#include <qdrawutil.h>
#include <QAbstractSpinBox>
#include <QFrame>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpression>
#include <QWhatsThis>

namespace {

// The "?" button: 10 x 10 dialog units, 3 units in from the top-right corner.
constexpr int kHelpButtonDlu = 10;
constexpr int kHelpButtonMarginDlu = 3;

// A group box as the platform draws it: an etched frame whose top line runs through the middle
// of the title, broken where the title stands; shadow and highlight stand out on the stripes.
class SkinGroupBox : public QGroupBox {
public:
    SkinGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QFontMetrics metrics = fontMetrics();
        const QRect text = metrics.boundingRect(QRect(kTitleLeft, 0, width(), metrics.height()),
                                                Qt::TextSingleLine | Qt::TextShowMnemonic, title());
        QRegion clip(rect());
        if (!title().isEmpty())
            clip -= text.adjusted(-2, 0, 2, 0);
        painter.setClipRegion(clip);
        qDrawShadeRect(&painter, QRect(0, metrics.height() / 2, width(), height() - metrics.height() / 2),
                       palette(), true, 1, 0);
        painter.setClipping(false);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(text, Qt::TextSingleLine | Qt::TextShowMnemonic, title());
    }

private:
    static constexpr int kTitleLeft = 9;
};

QPalette dialogPalette(const QPalette& base) {
    QPalette pal = Skin::bevelledPalette(base);
    const QBrush stripes = pal.brush(QPalette::Active, QPalette::Window);
    // Buttons the style draws get the stripes too, with the shades of the wooden face.
    QBrush face = stripes;
    face.setColor(SkinColor::buttonInner);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setBrush(group, QPalette::Button, face);
    // A disabled edit field is a static to the platform: it shows the stripes and a light text.
    pal.setBrush(QPalette::Disabled, QPalette::Base, stripes);
    pal.setColor(QPalette::Disabled, QPalette::Text, SkinColor::label);
    return pal;
}

} // namespace

QString CSkinDialog::controlName(int id) {
    return QStringLiteral("control%1").arg(id);
}

CSkinDialog::CSkinDialog(int templateId, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      templateId_(templateId) {
    setObjectName(QStringLiteral("dialog%1").arg(templateId));
    setFont(Skin::objects().dialogFont);
    setPalette(dialogPalette(palette()));
    stripes_ = Skin::bitmap(SkinBitmap::stripes);
    // The stripes cover every pixel; the platform need not clear the window first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CSkinDialog::~CSkinDialog() = default;

QWidget* CSkinDialog::item(int id) const {
    return findChild<QWidget*>(controlName(id));
}

void CSkinDialog::ensureInitialized() {
    if (initialized_)
        return;
    initialized_ = true;
    initDialog();
}

void CSkinDialog::initDialog() {
    buttonFace_.at(devicePixelRatioF());
    for (CSkinButton* button : findChildren<CSkinButton*>())
        button->setFace(buttonFace_);
}

void CSkinDialog::setDialogSize(int widthDlu, int heightDlu) {
    setFixedSize(Skin::dluX(widthDlu), Skin::dluY(heightDlu));
    if (helpButton_) {
        const int side = Skin::dluX(kHelpButtonDlu);
        helpButton_->move(width() - Skin::dluX(kHelpButtonMarginDlu) - side,
                          Skin::dluY(kHelpButtonMarginDlu));
    }
}

void CSkinDialog::registerControl(QWidget* control, int id) {
    control->setObjectName(controlName(id));
    control->setProperty(controlIdProperty, id);
}

QLabel* CSkinDialog::addStatic(int id, const QString& text, const QRect& dlu, int style) {
    auto* label = new QLabel(text, this);
    label->setGeometry(Skin::dluRect(dlu.x(), dlu.y(), dlu.width(), dlu.height()));
    Qt::Alignment align = Qt::AlignTop;
    align |= (style & Centred) ? Qt::AlignHCenter : (style & Right) ? Qt::AlignRight : Qt::AlignLeft;
    label->setAlignment(align);
    label->setWordWrap(true);
    if (style & Sunken) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
    }
    if (id > 0)
        registerControl(label, id);
    applySkin(label);
    return label;
}

QLabel* CSkinDialog::addIcon(int id, const QRect& dlu) {
    auto* label = new QLabel(this);
    const QRect r = Skin::dluRect(dlu.x(), dlu.y(), dlu.width(), dlu.height());
    // An icon static takes the size of its icon.
    label->setGeometry(QRect(r.topLeft(), QSize(32, 32)));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    registerControl(label, id);
    return label;
}

CSkinButton* CSkinDialog::addButton(int id, const QString& text, const QRect& dlu, bool isDefault) {
    auto* button = new CSkinButton(text, this);
    button->setGeometry(Skin::dluRect(dlu.x(), dlu.y(), dlu.width(), dlu.height()));
    button->setDefault(isDefault);
    if (!buttonFace_.image().isNull())
        button->setFace(buttonFace_);
    registerControl(button, id);
    // As the dialog manager routes them: OK accepts, Cancel rejects.
    if (id == 1)
        connect(button, &QPushButton::clicked, this, &QDialog::accept);
    else if (id == 2)
        connect(button, &QPushButton::clicked, this, &QDialog::reject);
    return button;
}

CSkinCheckBox* CSkinDialog::addCheckBox(int id, const QString& text, const QRect& dlu,
                                        std::function<bool()> flag) {
    auto* box = new CSkinCheckBox(text, std::move(flag), this);
    box->setGeometry(Skin::dluRect(dlu.x(), dlu.y(), dlu.width(), dlu.height()));
    registerControl(box, id);
    return box;
}

QLineEdit* CSkinDialog::addEdit(int id, const QRect& dlu) {
    auto* edit = new QLineEdit(this);
    edit->setGeometry(Skin::dluRect(dlu.x(), dlu.y(), dlu.width(), dlu.height()));
    registerControl(edit, id);
    return edit;
}

CSkinComboBox* CSkinDialog::addComboBox(int id, const QRect& dlu) {
    auto* combo = new CSkinComboBox(this);
    // A combo box template gives the height of the open list; the field keeps its own height.
    const QRect r = Skin::dluRect(dlu.x(), dlu.y(), dlu.width(), dlu.height());
    combo->setGeometry(r.x(), r.y(), r.width(), combo->sizeHint().height());
    registerControl(combo, id);
    return combo;
}

QGroupBox* CSkinDialog::addGroupBox(const QString& title, const QRect& dlu) {
    auto* group = new SkinGroupBox(title, this);
    group->setGeometry(Skin::dluRect(dlu.x(), dlu.y(), dlu.width(), dlu.height()));
    // Added after the controls it frames, it must not cover them.
    group->lower();
    return group;
}

QFrame* CSkinDialog::addEtchedLine(const QRect& dlu, Qt::Orientation orientation) {
    auto* line = new QFrame(this);
    QRect r = Skin::dluRect(dlu.x(), dlu.y(), dlu.width(), dlu.height());
    // An etched line is two pixels: the shadow and the highlight beside it.
    if (orientation == Qt::Horizontal)
        r.setHeight(2);
    else
        r.setWidth(2);
    line->setGeometry(r);
    line->setFrameShape(orientation == Qt::Horizontal ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setLineWidth(1);
    return line;
}

void CSkinDialog::applySkin(QWidget* widget) const {
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget)) {
        // The up-down arrows are drawn in the window-text colour: dark, on the light face.
        QPalette pal = spin->palette();
        pal.setColor(QPalette::Active, QPalette::WindowText, Qt::black);
        pal.setColor(QPalette::Inactive, QPalette::WindowText, Qt::black);
        pal.setColor(QPalette::Disabled, QPalette::WindowText, SkinColor::buttonDark);
        spin->setPalette(pal);
        return;
    }
    auto* label = qobject_cast<QLabel*>(widget);
    if (!label)
        return;
    // A label's underlined letter moves the focus to the next control in tab order.
    if (!label->buddy() && label->text().contains(QRegularExpression(QStringLiteral("&[^&]")))) {
        for (QWidget* next = label->nextInFocusChain(); next && next != this;
             next = next->nextInFocusChain()) {
            if (next->focusPolicy() != Qt::NoFocus && !qobject_cast<QLabel*>(next)) {
                label->setBuddy(next);
                break;
            }
        }
    }
    if (label->frameShape() != QFrame::NoFrame && label->frameShadow() == QFrame::Sunken) {
        // Sunken statics are headings: light text on the solid brush.
        QPalette pal = label->palette();
        pal.setBrush(QPalette::Window, Skin::objects().sunkenBrush);
        label->setPalette(pal);
        label->setAutoFillBackground(true);
    }
}

void CSkinDialog::setContextHelp(std::vector<HelpPair> table) {
    helpTable_ = std::move(table);
    if (!helpButton_) {
        helpButton_ = new CSkinButton(QStringLiteral("?"), this);
        helpButton_->setObjectName(QLatin1String(contextHelpButtonName));
        helpButton_->setFocusPolicy(Qt::NoFocus);
        helpButton_->setAutoDefault(false);
        const int side = Skin::dluX(kHelpButtonDlu);
        helpButton_->setGeometry(width() - Skin::dluX(kHelpButtonMarginDlu) - side,
                                 Skin::dluY(kHelpButtonMarginDlu), side, side);
        connect(helpButton_, &QPushButton::clicked, this, [] { QWhatsThis::enterWhatsThisMode(); });
    }
}

QString CSkinDialog::helpFile() const {
    return helpFile_.isEmpty() ? HelpFile::defaultPath() : helpFile_;
}

int CSkinDialog::contextHelpTopic(int controlId, const QPoint&) const {
    for (const HelpPair& pair : helpTable_)
        if (pair.controlId == controlId)
            return pair.topic;
    return 0;
}

int CSkinDialog::controlIdAt(const QPoint& dialogPos) const {
    // The innermost window under the point that carries a resource number: a spin box's inner
    // edit field asks for its spin box, a label inside a group box for itself.
    for (QWidget* w = childAt(dialogPos); w && w != this; w = w->parentWidget()) {
        const QVariant id = w->property(controlIdProperty);
        if (id.isValid())
            return id.toInt();
    }
    return 0;
}

int CSkinDialog::showContextHelp(const QPoint& dialogPos, const QPoint& globalPos) {
    const int id = controlIdAt(dialogPos);
    const int topic = id ? contextHelpTopic(id, dialogPos) : 0;
    if (topic == 0)
        return 0;
    HelpFile::showPopup(globalPos, helpFile(), topic, this);
    emit contextHelpShown(topic);
    return topic;
}

bool CSkinDialog::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::Polish:
        for (QWidget* child : findChildren<QWidget*>())
            applySkin(child);
        break;
    case QEvent::WhatsThis: {
        // A click in context-help mode reaches the dialog from any control that has no help text
        // of its own, at the point in dialog coordinates.
        auto* help = static_cast<QHelpEvent*>(e);
        if (showContextHelp(help->pos(), help->globalPos()) == 0)
            e->ignore();
        return true;
    }
    case QEvent::QueryWhatsThis: {
        auto* help = static_cast<QHelpEvent*>(e);
        const int id = controlIdAt(help->pos());
        if (id == 0 || contextHelpTopic(id, help->pos()) == 0)
            e->ignore();
        return true;
    }
    default:
        break;
    }
    return QDialog::event(e);
}

void CSkinDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    tileBitmap(stripes_, painter, 0, 0, width(), height());
}

void CSkinDialog::showEvent(QShowEvent* event) {
    ensureInitialized();
    QDialog::showEvent(event);
}
