#include "ui/printing/ps_paper.h"

#include "core/platform/twips.h"
#include "core/printing/pagepainter.h"
#include "core/printing/printeditems.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

SelectedObject objectOf(PageItemRole role)
{
    const PrintedItem *item = PrintedItems::of(role);
    return item ? item->object : SelectedObject::None;
}

QRectF rectOf(const PageItem &item)
{
    return QRectF(item.left, item.top, item.width, item.height);
}

} // namespace

ps_paper::ps_paper(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ps_paper"));
    setAccessibleName(QStringLiteral("样张")); // its description names the student shown
    setWindowFlag(Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    resize(0, 0);
}

int ps_paper::px(double twips) const
{
    return Twips::toPixels(twips, logicalDpiY());
}

void ps_paper::setSheet(const QList<ComposedPage> &pages, const SheetLayout &layout, bool cutLines)
{
    ComposedPage sheet;
    sheet.width = layout.sheet.width();
    sheet.height = layout.sheet.height();
    setPage(sheet);
    m_sheetPages = pages;
    m_sheet = layout;
    m_cutLines = cutLines;
    update();
}

void ps_paper::setPage(const ComposedPage &page)
{
    m_page = page;
    m_sheetPages.clear();
    // A size typed far beyond any paper is limited to what a widget can be, before it is
    // converted to an integer.
    const auto side = [this](double twips) {
        return int(std::clamp(twips * logicalDpiY() / Twips::PerInch, 0.0, double(QWIDGETSIZE_MAX)));
    };
    const QSize size(side(page.width), side(page.height));
    if (size != this->size()) {
        resize(size);
        emit sizeChanged();
    }
    update();
}

void ps_paper::setOutline(SelectedObject object)
{
    m_outline = object;
    update();
}

std::optional<QRectF> ps_paper::outlineTwips() const
{
    // The first item of the role: the name, the signature, or the comment's first line box.
    for (const PageItem &item : m_page.items) {
        if (m_outline != SelectedObject::None && objectOf(item.role) == m_outline)
            return rectOf(item);
    }
    return std::nullopt;
}

QRect ps_paper::outlineRect() const
{
    const std::optional<QRectF> twips = outlineTwips();
    if (!twips)
        return {};
    return QRect(QPoint(px(twips->left()), px(twips->top())),
                 QPoint(px(twips->right()), px(twips->bottom())));
}

SelectedObject ps_paper::objectAt(const QPoint &pos) const
{
    const double dpi = logicalDpiY();
    const QPointF twips(pos.x() * Twips::PerInch / dpi, pos.y() * Twips::PerInch / dpi);
    // Items painted later lie on top.
    for (auto it = m_page.items.crbegin(); it != m_page.items.crend(); ++it) {
        if (rectOf(*it).contains(twips))
            return objectOf(it->role);
    }
    return SelectedObject::None;
}

void ps_paper::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double factor = logicalDpiY() / double(Twips::PerInch);
    painter.scale(factor, factor);
    if (!m_sheetPages.isEmpty()) {
        paintSheet(painter);
        return;
    }
    paintComposedPage(painter, m_page);
    if (const std::optional<QRectF> outline = outlineTwips()) {
        QPen pen(Qt::black);
        pen.setCosmetic(true);
        pen.setWidth(1);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(*outline);
    }
}

void ps_paper::paintSheet(QPainter &painter)
{
    if (m_cutLines) {
        QPen pen(QColor(170, 170, 170));
        pen.setCosmetic(true);
        painter.setPen(pen);
        for (const QLineF &line : std::as_const(m_sheet.cutLines))
            painter.drawLine(line);
    }
    for (qsizetype cell = 0; cell < m_sheetPages.size() && cell < m_sheet.pages.size(); ++cell) {
        painter.save();
        painter.translate(m_sheet.pages[cell].topLeft());
        painter.scale(m_sheet.scale, m_sheet.scale);
        paintComposedPage(painter, m_sheetPages[cell]);
        painter.restore();
    }
}

void ps_paper::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit objectClicked(objectAt(event->position().toPoint()));
    QWidget::mousePressEvent(event);
}
