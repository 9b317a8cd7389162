#include "ui/app/screenfit.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace ScreenFit {

QSize firstSize(QSize design, const QRect &available, const QMargins &frame)
{
    return design.boundedTo(available.marginsRemoved(frame).size());
}

bool fitFramed(QWidget &window, QSize first)
{
    const QWindow *handle = window.windowHandle();
    if (!handle || handle->frameMargins().isNull())
        return false;
    if (window.size() != first || window.isMaximized() || window.isFullScreen())
        return true;
    const QRect available = window.screen()->availableGeometry();
    const QSize fitted = firstSize(window.size(), available, handle->frameMargins());
    if (fitted != window.size())
        window.resize(fitted);
    QRect outer = window.frameGeometry();
    if (!available.contains(outer)) {
        outer.moveLeft(std::clamp(outer.left(), available.left(),
                                  std::max(available.left(), available.right() - outer.width() + 1)));
        outer.moveTop(std::clamp(outer.top(), available.top(),
                                 std::max(available.top(), available.bottom() - outer.height() + 1)));
        window.move(outer.topLeft());
    }
    return true;
}

} // namespace ScreenFit
