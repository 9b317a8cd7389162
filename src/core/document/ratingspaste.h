#pragma once

#include "core/document/ratingsfile.h"

#include <QList>
#include <QString>
#include <QStringList>

/// Ratings copied from a spreadsheet (tab-separated rows) and pasted into the class's ratings.
namespace RatingsPaste {

/// The ratings after a paste, and what the pasted text held that could not go in.
struct Pasted
{
    RatingsFile::Table table;
    int cellsSet = 0;              ///< cells the text gave a grade (an empty pasted cell gives none)
    QStringList unknownValues;     ///< pasted values that are no grade, as pasted
    QStringList unknownNames;      ///< names in the name column that are not in the class
    QStringList unknownCategories; ///< headings of a heading row that are no category
    /// Values with no cell to go to: below the last student, past the last column, under an empty
    /// heading, on a line without a name or on a name's line beyond the class's count of it.
    int outside = 0;
};

/// Pastes `text` into `current` at student `row`.
/// - A first line holding a category name (or 姓名) is a heading row: its columns go into the
///   categories they name, wherever those are.
/// - A first column holding names of the class (or headed 姓名) gives each line's student; other
///   lines go to the students from `row` on, in order.
/// - Columns without a heading go, in order, into `columns` (the table's columns from the current
///   one on, as the teacher sees them), after the name column when there is one.
/// - A heading naming one of the `hidden` columns has nowhere to go: the teacher cannot see it.
/// An empty pasted cell leaves the grade as it is; 0 or Delete clears one.
Pasted paste(const RatingsFile::Table &current, const QString &text, int row, const QList<int> &columns,
             const QList<int> &hidden = {});

} // namespace RatingsPaste
