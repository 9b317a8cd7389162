#include "core/document/commentsstep.h"

#include "core/document/session.h"

#include <algorithm>

CommentsStep::CommentsStep(Session &session, const QString &name, QList<FindReplace::Change> changes)
    : QUndoCommand(name)
    , m_session(session)
    , m_changes(std::move(changes))
{}

void CommentsStep::redo()
{
    for (const FindReplace::Change &change : std::as_const(m_changes)) {
        if (m_session.Document().slot(change.student + 1).comment == change.before)
            m_session.putComment(change.student + 1, change.after);
    }
}

void CommentsStep::undo()
{
    for (const FindReplace::Change &change : std::as_const(m_changes)) {
        if (m_session.Document().slot(change.student + 1).comment == change.after)
            m_session.putComment(change.student + 1, change.before);
    }
}

int CommentsStep::keptBy(bool forUndo) const
{
    const CommentDocument &document = m_session.Document();
    return int(std::count_if(m_changes.cbegin(), m_changes.cend(), [&](const FindReplace::Change &change) {
        return document.slot(change.student + 1).comment != (forUndo ? change.after : change.before);
    }));
}
