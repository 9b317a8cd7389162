#include "core/printing/sheetlayout.h"

#include <algorithm>

namespace {

SheetLayout arrange(QSizeF sheet, QSizeF page, int columns, int rows, bool landscape)
{
    SheetLayout layout;
    layout.sheet = sheet;
    layout.landscape = landscape;
    layout.columns = columns;
    layout.rows = rows;
    const double cellWidth = sheet.width() / columns;
    const double cellHeight = sheet.height() / rows;
    if (page.width() > 0 && page.height() > 0)
        layout.scale = std::min({1.0, cellWidth / page.width(), cellHeight / page.height()});
    const QSizeF placed = page * layout.scale;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const QRectF cell(column * cellWidth, row * cellHeight, cellWidth, cellHeight);
            layout.cells.append(cell);
            QRectF onCell(QPointF(), placed);
            onCell.moveCenter(cell.center());
            layout.pages.append(onCell);
        }
    }
    for (int column = 1; column < columns; ++column)
        layout.cutLines.append(QLineF(column * cellWidth, 0, column * cellWidth, sheet.height()));
    for (int row = 1; row < rows; ++row)
        layout.cutLines.append(QLineF(0, row * cellHeight, sheet.width(), row * cellHeight));
    return layout;
}

} // namespace

SheetLayout sheetLayout(QSizeF sheet, QSizeF page, int perSheet)
{
    if (perSheet <= 1)
        return arrange(page, page, 1, 1, false);
    const QSizeF turned = sheet.transposed();
    QList<SheetLayout> candidates;
    if (perSheet == 2) {
        candidates = {arrange(sheet, page, 1, 2, false), arrange(sheet, page, 2, 1, false),
                      arrange(turned, page, 2, 1, true), arrange(turned, page, 1, 2, true)};
    } else {
        candidates = {arrange(sheet, page, 2, 2, false), arrange(turned, page, 2, 2, true)};
    }
    // The first of the largest: the sheet as given wins a tie.
    return *std::max_element(
        candidates.cbegin(), candidates.cend(),
        [](const SheetLayout &a, const SheetLayout &b) { return a.scale < b.scale - 1e-9; });
}
