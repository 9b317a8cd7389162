#pragma once

#include <QLineF>
#include <QList>
#include <QRectF>
#include <QSizeF>

/// Where the students' pages go when several are printed on one sheet of paper.
///
/// The sheet is cut into equal cells, filled in reading order (left to right, then top to
/// bottom). Each page keeps its proportions: at full size when it fits its cell, otherwise
/// scaled down evenly until it does, and centred in the cell. The sheet is turned to landscape
/// when that lets the pages be larger (two A5 portrait pages on an A4 turned landscape). All
/// sizes are in one unit of the caller's choice.
struct SheetLayout
{
    QSizeF sheet;           ///< the sheet as it is printed (turned when `landscape`)
    bool landscape = false; ///< the sheet is the given one turned a quarter
    int columns = 1;
    int rows = 1;
    double scale = 1;       ///< of every page: at most 1
    QList<QRectF> cells;    ///< in reading order
    QList<QRectF> pages;    ///< where each page goes, in reading order
    QList<QLineF> cutLines; ///< between neighbouring cells, edge to edge of the sheet

    int perSheet() const { return int(cells.size()); }
};

/// The layout of `perSheet` (1, 2 or 4) pages of `page` on `sheet` (given portrait or as the
/// printer has it). One per sheet is the page alone at full size on a sheet of its own size.
/// Of the arrangements (2: side by side or one above the other; 4: two by two) on the sheet either
/// way round, the one with the largest scale wins; on a tie, the sheet as given.
SheetLayout sheetLayout(QSizeF sheet, QSizeF page, int perSheet);

/// The page (0-based) of a run that goes in `cell` of sheet `sheetIndex`, or -1 for an empty cell.
inline int pageInCell(int sheetIndex, int cell, int perSheet, int pageCount)
{
    const int page = sheetIndex * perSheet + cell;
    return page < pageCount ? page : -1;
}
