#pragma once

#include "ui/printing/ps_paper.h"

#include <QPointer>
#include <QScrollArea>

/// The scrolled area the sample page stands in, inside the frame's client area next to the
/// print panel, which stays at the client area's top-left corner.
///
/// The page stands centred in the whole client area when it fits there clear of the panel.
/// Otherwise the area takes the room beside the panel (when the page is narrow enough to stand
/// there) or below it, centres the page in that room and scrolls what does not fit, so that
/// every item of the page can be seen and clicked at every scale and frame size. The area
/// places itself again whenever the page, the panel or the client area changes size, and it
/// goes away with its page.
class PaperArea : public QScrollArea
{
    Q_OBJECT

public:
    /// Takes the page into a new area on the client area `parent`.
    PaperArea(ps_paper *paper, QWidget *parent);

    /// Keeps the area clear of the panel from now on, and places it at once.
    void keepClearOf(QWidget *panel);

    /// Places the area for the current sizes of the client area, the panel and the page.
    void place();

    /// The area's rectangle in a client area of that size, for a panel standing at `panel`
    /// and a page of that size; scrollBar is the breadth of a scroll bar.
    static QRect areaFor(const QSize &client, const QRect &panel, const QSize &page, int scrollBar);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<ps_paper> m_paper;
    QPointer<QWidget> m_panel;
};
