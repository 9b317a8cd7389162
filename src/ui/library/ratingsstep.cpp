#include "ui/library/ratingsstep.h"

RatingsStep::RatingsStep(const QString &text, RatingsFile::Table before, RatingsFile::Table after,
                         QPoint current, Show show)
    : QUndoCommand(text)
    , m_before(std::move(before))
    , m_after(std::move(after))
    , m_current(current)
    , m_show(std::move(show))
{
}

void RatingsStep::undo()
{
    // Back where the teacher was, so that what came back is in view.
    m_show(m_before, m_current);
}

void RatingsStep::redo()
{
    m_show(m_after, QPoint(-1, -1));
}
