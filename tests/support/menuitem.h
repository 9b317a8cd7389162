#pragma once

#include <QAction>
#include <QObject>
#include <QString>

/// The menu item (a QAction) of that object name under `window`; the test stops when there
/// is none, since every name a test uses is one the window must have.
inline QAction *menuItem(const QObject &window, const QString &name)
{
    QAction *item = window.findChild<QAction *>(name);
    if (!item)
        qFatal("no menu item named %s", qPrintable(name));
    return item;
}
