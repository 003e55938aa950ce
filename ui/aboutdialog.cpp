#include "ui/aboutdialog.h"

#include "res/version.h"
#include "ui/skin.h"

#include <QPainter>

namespace {
const char* const kTitle = "О Программе";
const char* const kLines[] = {
    "Версия %1",
    "Сделано в мастерской Brindlecot",
    "Авторы: разработчики Brindlecot Puzzle",
    "© 2026. Лицензия MIT",
};
} // namespace

CAboutDialog::CAboutDialog(QWidget* parent) : CSkinDialog(templateId, parent) {
    setWindowTitle(QString::fromUtf8(kTitle));
    setDialogSize(157, 154);
    int y = 62;
    for (const char* line : kLines) {
        QString text = QString::fromUtf8(line);
        if (text.contains(QLatin1String("%1")))
            text = text.arg(shownVersion());
        addStatic(-1, text, QRect(7, y, 143, 10), Centred);
        y += y == 62 ? 18 : 12;
    }
    addButton(1, QStringLiteral("OK"), QRect(53, 133, 50, 14));
}

QPoint CAboutDialog::letteringPos() const {
    const int w = lettering_.at(devicePixelRatioF()).deviceIndependentSize().toSize().width();
    return QPoint((width() - w) / 2, 0);
}

void CAboutDialog::paintEvent(QPaintEvent* event) {
    CSkinDialog::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(letteringPos(), lettering_.at(devicePixelRatioF()));
}
