#pragma once

#include "core/document/commentdocument.h"
#include "core/document/findreplace.h"

#include <QList>
#include <QStringList>

#include <functional>

/// What undoing a class-wide change (全部替换, 生成 from ratings) needs: the comments it changed,
/// as they were before and after, and the whole document and its modified flag from before.
class ReplaceAllUndo
{
public:
    /// Remembers a replace-all about to be made on `before`.
    void record(const QList<FindReplace::Change> &changes, const CommentDocument &before, bool wasModified);
    void clear();

    /// Whether the undo restores exactly: a replace-all was recorded and every text it changed
    /// (`texts` in student order, as the boxes show them) still reads as it left it.
    bool available(const QStringList &texts) const;
    const QList<FindReplace::Change> &changes() const { return m_changes; }
    /// Puts every changed text back as it was, through setText(student, text).
    void restore(const std::function<void(int, const QString &)> &setText) const;

    /// After the texts were restored: whether the document is still a changed one. It is not
    /// when it was unchanged before the replace-all and nothing else was changed since.
    bool modifiedAfterUndo(const CommentDocument &now) const;

private:
    QList<FindReplace::Change> m_changes;
    CommentDocument m_before;
    bool m_wasModified = true;
};
