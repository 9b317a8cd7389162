#include "core/document/ratingsstep.h"

#include "core/document/ratingsmodel.h"

RatingsStep::RatingsStep(RatingsModel &model, const QString &text, RatingsFile::Table before,
                         RatingsFile::Table after, QPoint current)
    : QUndoCommand(text)
    , m_model(model)
    , m_before(std::move(before))
    , m_after(std::move(after))
    , m_current(current)
{
}

void RatingsStep::undo()
{
    // Back where the teacher was, so that what came back is in view.
    m_model.putTable(m_before, m_model.index(m_current.y(), m_current.x()));
}

void RatingsStep::redo()
{
    m_model.putTable(m_after, QModelIndex());
}
