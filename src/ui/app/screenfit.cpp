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

QPoint ScreenFit::clearOf(const QRect &window, const QRect &keep, const QRect &available)
{
    if (!window.intersects(keep))
        return window.topLeft();
    const QSize size = window.size();
    const auto onScreen = [&](QPoint at) {
        at.setX(std::clamp(at.x(), available.left(),
                           std::max(available.left(), available.right() + 1 - size.width())));
        at.setY(std::clamp(at.y(), available.top(),
                           std::max(available.top(), available.bottom() + 1 - size.height())));
        return at;
    };
    struct Side
    {
        int room;   ///< free length beside `keep` on this side
        int needed; ///< the window's length across it
        QPoint at;
    };
    const Side sides[] = {
        {available.right() - keep.right(), size.width(), {keep.right() + 1, window.top()}},
        {keep.left() - available.left(), size.width(), {keep.left() - size.width(), window.top()}},
        {available.bottom() - keep.bottom(), size.height(), {window.left(), keep.bottom() + 1}},
        {keep.top() - available.top(), size.height(), {window.left(), keep.top() - size.height()}},
    };
    const Side *roomiest = &sides[0];
    for (const Side &side : sides) {
        if (side.room >= side.needed)
            return onScreen(side.at);
        if (side.room - side.needed > roomiest->room - roomiest->needed)
            roomiest = &side;
    }
    return onScreen(roomiest->at);
}
