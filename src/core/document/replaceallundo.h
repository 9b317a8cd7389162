#pragma once

#include "core/document/commentdocument.h"
#include "core/document/findreplace.h"

#include <QList>
#include <QStringList>

/// What 撤消全部替换 needs: the comments a replace-all changed, as they were before and after,
/// and the whole document and its modified flag from before.
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

    /// After the texts were restored: whether the document is still a changed one. It is not
    /// when it was unchanged before the replace-all and nothing else was changed since.
    bool modifiedAfterUndo(const CommentDocument &now) const;

private:
    QList<FindReplace::Change> m_changes;
    CommentDocument m_before;
    bool m_wasModified = true;
};
