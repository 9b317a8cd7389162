#include "core/document/replaceallundo.h"

#include <algorithm>

void ReplaceAllUndo::record(const QList<FindReplace::Change> &changes, const CommentDocument &before,
                            bool wasModified)
{
    m_changes = changes;
    m_before = before;
    m_wasModified = wasModified;
}

void ReplaceAllUndo::clear()
{
    m_changes.clear();
}

bool ReplaceAllUndo::available(const QStringList &texts) const
{
    return !m_changes.isEmpty() && std::all_of(m_changes.cbegin(), m_changes.cend(), [&](const auto &change) {
        return change.student < texts.size() && texts[change.student] == change.after;
    });
}

void ReplaceAllUndo::restore(const std::function<void(int, const QString &)> &setText) const
{
    for (const FindReplace::Change &change : m_changes)
        setText(change.student, change.before);
}

bool ReplaceAllUndo::modifiedAfterUndo(const CommentDocument &now) const
{
    return m_wasModified || !(now == m_before);
}
