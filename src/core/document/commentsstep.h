#pragma once

#include "core/document/findreplace.h"

#include <QList>
#include <QUndoCommand>

class Session;

/// A whole-class change of comments (全部替换, 生成草稿) on the class's history. Undoing it puts
/// back each comment that still reads as the step left it; a comment changed since (typed into
/// after the step) is the teacher's newer work and stays. Redoing likewise.
class CommentsStep : public QUndoCommand
{
public:
    CommentsStep(Session &session, const QString &name, QList<FindReplace::Change> changes);

    void redo() override;
    void undo() override;

    /// How many of the step's comments an undo (`forUndo`) or a redo would leave as they are,
    /// because they were changed since the step or its undo.
    int keptBy(bool forUndo) const;

private:
    Session &m_session;
    QList<FindReplace::Change> m_changes;
};
