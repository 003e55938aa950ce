#include "ui/ownerdrawnmenu.h"

#include "model/services.h"
#include "ui/skin.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>

namespace {

// Gives the owner-drawn menus their item sizes and takes away the panel's frame and margins, so
// a menu is exactly as large as its items. Other widgets see the application's style.
class OwnerDrawnMenuStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (qobject_cast<const OwnerDrawnMenu*>(widget)) {
            switch (metric) {
            case PM_MenuPanelWidth:
            case PM_MenuHMargin:
            case PM_MenuVMargin:
            case PM_MenuDesktopFrameWidth:
                return 0;
            default:
                break;
            }
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        if (const auto* menu = qobject_cast<const OwnerDrawnMenu*>(widget)) {
            if (type == CT_MenuItem) {
                if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option))
                    return menu->measureItem(item->menuItemType);
            }
            if (type == CT_Menu)
                return size;
        }
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        // As on the system's menus, the highlight also rests on disabled items (silently).
        if (hint == SH_Menu_AllowActiveAndDisabled && qobject_cast<const OwnerDrawnMenu*>(widget))
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

QStyle* menuStyle() {
    static QStyle* style = [] {
        auto* s = new OwnerDrawnMenuStyle;
        s->setParent(qApp);
        return s;
    }();
    return style;
}

} // namespace

OwnerDrawnMenu::OwnerDrawnMenu(OwnerMenu kind, ISound& sound, QWidget* parent)
    : QMenu(parent), kind_(kind), sound_(sound), skin_(skinBitmapId) {
    setStyle(menuStyle());
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(this, &QMenu::aboutToShow, this, [this] { sound_.playWave(openWave); });
    connect(this, &QMenu::hovered, this, [this](QAction* action) {
        if (action && !action->isSeparator() && action->isEnabled())
            sound_.playWave(clickWave);
    });
}

int OwnerDrawnMenu::checkMarkWidth() {
    return QApplication::style()->pixelMetric(QStyle::PM_IndicatorWidth);
}

void OwnerDrawnMenu::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QList<QAction*> items = actions();
    for (QAction* action : items) {
        const QRect rect = actionGeometry(action);
        if (!action->isVisible() || rect.isEmpty() || !event->rect().intersects(rect))
            continue;
        painter.save();
        drawItem(painter, action, rect, action == activeAction());
        painter.restore();
    }
}

void OwnerDrawnMenu::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (text.size() == 1 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const int position = menuItemForLetter(kind_, text.at(0));
        if (position >= 0) {
            chooseItem(position);
            return;
        }
    }
    QMenu::keyPressEvent(event);
}

QPoint OwnerDrawnMenu::centredOn(const QRect& windowFrame, int height, bool keepTopOnScreen) const {
    const int x = (windowFrame.left() + windowFrame.left() + windowFrame.width()) / 2;
    int y = (windowFrame.top() + windowFrame.top() + windowFrame.height()) / 2 - height / 2;
    if (keepTopOnScreen && y < 0)
        y = 0;
    return QPoint(x - sizeHint().width() / 2, y);
}

bool OwnerDrawnMenu::chooseItem(int position) {
    const QList<QAction*> items = actions();
    if (position < 0 || position >= items.size())
        return false;
    QAction* action = items[position];
    if (action->isSeparator() || !action->isEnabled())
        return false;
    setActiveAction(action);
    // Enter on the highlighted item: a command runs and the menus close, a submenu opens.
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QMenu::keyPressEvent(&enter);
    return true;
}

void OwnerDrawnMenu::drawRaisedFrame(QPainter& painter, const QRect& rect) {
    Skin::draw3dRect(painter, rect, raisedLight, raisedDark);
}

void OwnerDrawnMenu::drawItemText(QPainter& painter, const QRect& rect, const QString& text,
                                  const QColor& colour) {
    painter.setFont(Skin::objects().menuFont);
    painter.setPen(colour);
    painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text);
}

void OwnerDrawnMenu::tileSkin(QPainter& painter, const QRect& rect) const {
    tileBitmap(skin_.at(devicePixelRatioF()), painter, Rect::fromQRect(rect));
}
