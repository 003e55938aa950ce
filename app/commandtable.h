#pragma once

#include "game/commands.h"

#include <QHash>
#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// The command table of the window: the menu bar and the accelerators built from the rows of
// commandTable(), and each command's handler. Every way of giving a command ends in run(), which
// evaluates the row's rule first, so a disabled command does nothing from the keyboard either.
class CommandTable : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;
    using ContextProvider = std::function<CommandContext()>;

    CommandTable(QWidget* window, ContextProvider context);

    // Registers the handler of a command; commands without one do nothing.
    void setHandler(int id, Handler handler);
    bool hasHandler(int id) const;
    // Builds menu 128 into the menu bar and the accelerators into the window.
    void buildMenuBar(QMenuBar* bar);
    void installAccelerators();

    // Runs the command if its rule allows it; returns whether it ran.
    bool run(int id);
    CommandUpdate evaluate(int id) const;
    // Applies the rules to the items of one menu (as it is about to show).
    void updateMenu(QMenu* menu);

    // The menu-bar item of a command (nullptr if it has none).
    QAction* menuAction(int id) const { return menuActions_.value(id); }
    QList<QMenu*> menus() const { return menus_; }

private:
    QWidget* window_;
    ContextProvider context_;
    QHash<int, Handler> handlers_;
    QHash<int, QAction*> menuActions_;
    QHash<QAction*, QString> acceleratorText_;
    QList<QMenu*> menus_;
};
