#pragma once

#include "core/document/ratingsfile.h"

#include <QPoint>
#include <QUndoCommand>

#include <functional>

/// One change of the 评价表's grid (a key, a paste, an import) on the window's own undo stack:
/// the ratings before and after it.
class RatingsStep : public QUndoCommand
{
public:
    /// Shows a table in the grid; `current` is the cell to go back to, or (-1, -1) to stay.
    using Show = std::function<void(const RatingsFile::Table &table, QPoint current)>;

    /// `current` is the grid's current cell (column, row) when the step was taken.
    RatingsStep(const QString &text, RatingsFile::Table before, RatingsFile::Table after, QPoint current,
                Show show);

    void undo() override;
    void redo() override;

private:
    RatingsFile::Table m_before;
    RatingsFile::Table m_after;
    QPoint m_current;
    Show m_show;
};
