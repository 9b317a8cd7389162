#pragma once

#include "core/printing/sheetlayout.h"

#include "core/printing/composition.h"
#include "core/printing/selectedobject.h"

#include <QWidget>

class QPainter;

#include <optional>

/// The sample page of the print window: a borderless white page showing the last composed
/// page at the display scale it was composed with, one twip of the page per twip of the
/// screen. A click on an item selects it; a click on the bare page selects nothing. The item
/// carrying the selection outline gets a thin frame — the whole item, or the first line box of
/// the comment — drawn again after every composition.
class ps_paper : public QWidget
{
    Q_OBJECT

public:
    explicit ps_paper(QWidget *parent = nullptr);

    /// Shows a newly composed page; the window takes the page's size.
    void setPage(const ComposedPage &page);
    /// Shows a whole sheet of several students instead: their pages (twips at the display
    /// scale) placed as `layout` says, with its cut lines when `cutLines`.
    void setSheet(const QList<ComposedPage> &pages, const SheetLayout &layout, bool cutLines);
    const ComposedPage &page() const { return m_page; }

    /// The item that carries the outline (None: no outline).
    SelectedObject outline() const { return m_outline; }
    void setOutline(SelectedObject object);

    /// The item under a point of the window (pixels); None for the bare page.
    SelectedObject objectAt(const QPoint &pos) const;

    /// The outlined rectangle in the window's pixels; empty with no outline.
    QRect outlineRect() const;

    /// A length in twips as pixels on this window's screen.
    int px(double twips) const;

signals:
    /// A press on the page: the item under it, or None for the bare page.
    void objectClicked(SelectedObject object);
    /// The page size changed: the window has to be placed again.
    void sizeChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void paintSheet(QPainter &painter);
    void mousePressEvent(QMouseEvent *event) override;

private:
    std::optional<QRectF> outlineTwips() const;

    ComposedPage m_page;
    QList<ComposedPage> m_sheetPages; ///< the sheet shown instead of the page, if any
    SheetLayout m_sheet;
    bool m_cutLines = false;
    SelectedObject m_outline = SelectedObject::None;
};
