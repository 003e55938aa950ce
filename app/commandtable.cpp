#include "app/commandtable.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

CommandTable::CommandTable(QWidget* window, ContextProvider context)
    : QObject(window), window_(window), context_(std::move(context)) {}

void CommandTable::setHandler(int id, Handler handler) {
    handlers_.insert(id, std::move(handler));
}

bool CommandTable::hasHandler(int id) const {
    const auto it = handlers_.constFind(id);
    return it != handlers_.constEnd() && *it;
}

void CommandTable::buildMenuBar(QMenuBar* bar) {
    for (const MenuDef& def : mainMenuDefinition()) {
        QMenu* menu = bar->addMenu(QString::fromUtf8(def.title));
        menus_.append(menu);
        for (const MenuItemDef& item : def.items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            const QString& text = item.text;
            QAction* action = menu->addAction(text);
            action->setData(item.id);
            if (const CommandRow* row = commandRow(item.id); row && row->checkable)
                action->setCheckable(true);
            action->setObjectName(QStringLiteral("command%1").arg(item.id));
            // The accelerator is shown after the tab; the key itself lives in the accelerator
            // table, so the menu never swallows it while the item is disabled.
            const int tab = text.indexOf(QLatin1Char('\t'));
            if (tab >= 0)
                acceleratorText_.insert(action, text.mid(tab));
            menuActions_.insert(item.id, action);
            const int id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { run(id); });
        }
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { updateMenu(menu); });
        updateMenu(menu);
    }
}

void CommandTable::installAccelerators() {
    for (const AcceleratorDef& acc : acceleratorTable()) {
        auto* action = new QAction(window_);
        action->setShortcut(QKeySequence(QString::fromLatin1(acc.key)));
        action->setShortcutContext(Qt::WindowShortcut);
        action->setObjectName(
            QStringLiteral("accelerator%1_%2").arg(acc.id).arg(QString::fromLatin1(acc.key)));
        const int id = acc.id;
        connect(action, &QAction::triggered, this, [this, id] { run(id); });
        window_->addAction(action);
    }
}

CommandUpdate CommandTable::evaluate(int id) const {
    return updateCommand(id, context_());
}

bool CommandTable::run(int id) {
    if (!evaluate(id).enabled)
        return false;
    const auto it = handlers_.constFind(id);
    if (it != handlers_.constEnd() && *it)
        (*it)();
    return true;
}

void CommandTable::updateMenu(QMenu* menu) {
    const CommandContext context = context_();
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || action->menu())
            continue;
        const CommandUpdate u = updateCommand(action->data().toInt(), context);
        action->setEnabled(u.enabled);
        if (u.checked >= 0)
            action->setChecked(u.checked == 1);
        if (!u.text.isEmpty())
            action->setText(u.text + acceleratorText_.value(action));
    }
}
