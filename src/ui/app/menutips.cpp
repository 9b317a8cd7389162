#include "ui/app/menutips.h"

#include <QAction>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>

void MenuTips::install(QMenu *menu)
{
    menu->installEventFilter(new MenuTips(menu));
}

bool MenuTips::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    auto *menu = static_cast<QMenu *>(watched);
    const auto *help = static_cast<QHelpEvent *>(event);
    QAction *action = menu->actionAt(help->pos());
    // An action without a tip of its own gives its text as its tip, the same as its icon text.
    if (action && action->toolTip() != action->iconText())
        QToolTip::showText(help->globalPos(), action->toolTip(), menu, menu->actionGeometry(action));
    else
        QToolTip::hideText();
    return true;
}
