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

QRect ScreenFit::clearOf(const QRect &window, const QRect &keep, const QRect &available, const QSize &minimum)
{
    if (!window.intersects(keep))
        return window;
    const auto onScreen = [&](QRect r) {
        r.moveLeft(std::clamp(r.left(), available.left(),
                              std::max(available.left(), available.right() + 1 - r.width())));
        r.moveTop(std::clamp(r.top(), available.top(),
                             std::max(available.top(), available.bottom() + 1 - r.height())));
        return r;
    };
    // The sides in the order they are tried: right, left, below, above.
    const int room[4] = {available.right() - keep.right(), keep.left() - available.left(),
                         available.bottom() - keep.bottom(), keep.top() - available.top()};
    const auto needed = [&](int side) { return side < 2 ? window.width() : window.height(); };
    const auto least = [&](int side) { return side < 2 ? minimum.width() : minimum.height(); };
    // The window beside `keep` on a side, `length` across.
    const auto beside = [&](int side, int length) -> QRect {
        switch (side) {
        case 0:
            return {keep.right() + 1, window.top(), length, window.height()};
        case 1:
            return {keep.left() - length, window.top(), length, window.height()};
        case 2:
            return {window.left(), keep.bottom() + 1, window.width(), length};
        default:
            return {window.left(), keep.top() - length, window.width(), length};
        }
    };
    for (int side = 0; side < 4; ++side) {
        if (room[side] >= needed(side))
            return onScreen(beside(side, needed(side)));
    }
    // Nowhere whole: smaller, on the side that keeps most of it, down to its least size.
    int best = -1;
    for (int side = 0; side < 4; ++side) {
        if (room[side] >= least(side) &&
            (best < 0 || double(room[side]) / needed(side) > double(room[best]) / needed(best)))
            best = side;
    }
    if (best >= 0)
        return onScreen(beside(best, room[best]));
    return onScreen(window); // too small a screen: it stays, on the screen
}
