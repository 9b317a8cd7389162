#include "ui/printing/paperarea.h"

#include "ui/printing/ps_paper.h"

#include <QEvent>
#include <QStyle>

#include <algorithm>

PaperArea::PaperArea(ps_paper *paper, QWidget *parent)
    : QScrollArea(parent)
    , m_paper(paper)
{
    setObjectName(QStringLiteral("paperArea"));
    setAccessibleName(QStringLiteral("打印样张"));
    setFrameShape(QFrame::NoFrame);
    setAlignment(Qt::AlignCenter);
    // The frame's own background shows around the page.
    viewport()->setAutoFillBackground(false);
    setWidget(paper);
    connect(paper, &ps_paper::sizeChanged, this, &PaperArea::place);
    connect(paper, &QObject::destroyed, this, &QObject::deleteLater);
    if (parent)
        parent->installEventFilter(this);
}

void PaperArea::keepClearOf(QWidget *panel)
{
    if (m_panel)
        m_panel->removeEventFilter(this);
    m_panel = panel;
    if (panel)
        panel->installEventFilter(this);
    place();
}

QRect PaperArea::areaFor(const QSize &client, const QRect &panel, const QSize &page, int scrollBar)
{
    const QRect whole(QPoint(0, 0), client);
    // Where the frame would centre the page: kept whenever the whole page is clear there.
    const QRect centred(QPoint((client.width() - page.width()) / 2, (client.height() - page.height()) / 2),
                        page);
    if (whole.contains(centred) && !centred.intersects(panel))
        return whole;
    // Beside the panel the page scrolls up and down only; a vertical scroll bar takes room.
    const int besideLeft = panel.isEmpty() ? 0 : panel.right() + 1;
    const QRect beside(besideLeft, 0, std::max(client.width() - besideLeft, 0), client.height());
    const int besideNeeds = page.width() + (page.height() > beside.height() ? scrollBar : 0);
    if (besideNeeds <= beside.width())
        return beside;
    const int belowTop = panel.isEmpty() ? 0 : panel.bottom() + 1;
    return QRect(0, belowTop, client.width(), std::max(client.height() - belowTop, 0));
}

void PaperArea::place()
{
    QWidget *client = parentWidget();
    if (!client || !m_paper)
        return;
    const QRect panel = m_panel && !m_panel->isHidden() ? m_panel->geometry() : QRect();
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    setGeometry(areaFor(client->size(), panel, m_paper->size(), scrollBar));
}

bool PaperArea::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    const bool panelChanged = watched == m_panel && (type == QEvent::Resize || type == QEvent::Move ||
                                                     type == QEvent::Show || type == QEvent::Hide);
    const bool clientResized = watched == parentWidget() && type == QEvent::Resize;
    if (panelChanged || clientResized)
        place();
    return QScrollArea::eventFilter(watched, event);
}
