#pragma once

#include "core/document/commentdocument.h"
#include "core/document/ratingsfile.h"

#include <QHash>
#include <QList>
#include <QUndoCommand>

#include <functional>

class Session;

/// A change of the roster (add, delete, rename, delete all, a name import) on the class's history.
/// It keeps the students as they were before and after; undoing or redoing it carries over what
/// was typed since into the students the change kept, so no comment typed in between is lost.
class RosterStep : public QUndoCommand
{
public:
    /// `origin` maps a student after the change to its index before (-1: new); empty: a student
    /// is the same one where its slot did not change.
    RosterStep(Session &session, const QString &name, std::function<void(CommentDocument &)> change,
               std::function<int(int)> origin);

    void redo() override;
    void undo() override;

private:
    struct Student
    {
        StudentSlot slot;
        QHash<QString, Rating> grades; ///< by category
    };
    QList<Student> students() const;
    void put(const QList<Student> &students);
    void firstRedo();

    Session &m_session;
    std::function<void(CommentDocument &)> m_change;
    std::function<int(int)> m_originOf;
    QList<Student> m_before;
    QList<Student> m_after;
    QList<int> m_origin; ///< per student after: its index before, -1 for a new one
    bool m_done = false;
};
