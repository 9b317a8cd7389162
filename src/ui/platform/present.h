#pragma once

#include <QWidget>

/// Shows a window that does not block the others (a non-modal dialog) and gives it the
/// keyboard, also when it was open already behind another.
inline void present(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}
