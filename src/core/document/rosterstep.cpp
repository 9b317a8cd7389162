#include "core/document/rosterstep.h"

#include "core/document/roster.h"
#include "core/document/session.h"

RosterStep::RosterStep(Session &session, const QString &name, std::function<void(CommentDocument &)> change,
                       std::function<int(int)> origin)
    : QUndoCommand(name)
    , m_session(session)
    , m_change(std::move(change))
    , m_originOf(std::move(origin))
{}

QList<RosterStep::Student> RosterStep::students() const
{
    const CommentDocument &document = m_session.Document();
    const RatingsFile::Table &ratings = m_session.Ratings();
    QList<Student> list;
    for (int k = 0; k < document.studentCount(); ++k) {
        Student student{document.slot(k + 1), {}};
        const QList<Rating> row = ratings.grades.value(k);
        for (int c = 0; c < ratings.categories.size() && c < row.size(); ++c)
            student.grades.insert(ratings.categories[c], row[c]);
        list.append(student);
    }
    return list;
}

void RosterStep::put(const QList<Student> &list)
{
    QList<StudentSlot> roster;
    RatingsFile::Table ratings;
    ratings.categories = m_session.Ratings().categories;
    for (const Student &student : list) {
        roster.append(student.slot);
        ratings.names.append(student.slot.name);
        QList<Rating> row;
        for (const QString &category : std::as_const(ratings.categories))
            row.append(student.grades.value(category, Rating::None));
        ratings.grades.append(row);
    }
    m_session.putRoster(roster, ratings);
}

void RosterStep::firstRedo()
{
    m_before = students();
    CommentDocument document = m_session.Document();
    m_change(document);
    m_change = nullptr; // run once: its side results (a name import's list) belong to the first run
    for (int k = 0; k < document.studentCount(); ++k) {
        int from = -1;
        if (m_originOf)
            from = m_originOf(k);
        else if (k < m_before.size() && m_before[k].slot == document.slot(k + 1))
            from = k;
        if (from >= m_before.size())
            from = -1;
        m_origin.append(from);
        m_after.append({document.slot(k + 1), from >= 0 ? m_before[from].grades : QHash<QString, Rating>()});
    }
    QList<StudentSlot> before, after;
    for (const Student &s : std::as_const(m_before))
        before.append(s.slot);
    for (const Student &s : std::as_const(m_after))
        after.append(s.slot);
    if (before == after)
        setObsolete(true); // nothing changed: no step
    else
        put(m_after);
}

void RosterStep::redo()
{
    if (!m_done) {
        m_done = true;
        firstRedo();
        return;
    }
    // What was typed since the undo goes with the students the change keeps.
    const QList<Student> now = students();
    m_before = now;
    QList<Student> target = m_after;
    for (int k = 0; k < target.size(); ++k) {
        if (const int from = m_origin[k]; from >= 0 && from < now.size()) {
            target[k].slot.comment = now[from].slot.comment;
            target[k].grades = now[from].grades;
        }
    }
    put(target);
}

void RosterStep::undo()
{
    const QList<Student> now = students();
    m_after = now; // comments typed into new students come back with a redo
    QList<Student> target = m_before;
    for (int k = 0; k < now.size() && k < m_origin.size(); ++k) {
        if (const int from = m_origin[k]; from >= 0) {
            target[from].slot.comment = now[k].slot.comment;
            target[from].grades = now[k].grades;
        }
    }
    put(target);
}
