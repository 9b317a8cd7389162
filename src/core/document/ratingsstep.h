#pragma once

#include "core/document/ratingsfile.h"

#include <QPoint>
#include <QUndoCommand>

class RatingsModel;

/// One change of the 评价表's ratings (a key, a paste, an import) on the model's own undo
/// stack: the ratings before and after it, and the cell it was taken at.
class RatingsStep : public QUndoCommand
{
public:
    /// `current` is the current cell (column, row) when the step was taken; (-1, -1) for none.
    RatingsStep(RatingsModel &model, const QString &text, RatingsFile::Table before, RatingsFile::Table after,
                QPoint current);

    void undo() override;
    void redo() override;

private:
    RatingsModel &m_model;
    RatingsFile::Table m_before;
    RatingsFile::Table m_after;
    QPoint m_current;
};
