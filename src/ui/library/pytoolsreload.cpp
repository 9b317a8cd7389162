// The library window's reload after another teacher changed the library file: kept apart
// from pytools.cpp, which holds the window's layout and editing.
#include "ui/library/pytools.h"

#include <QGroupBox>
#include <QListWidget>

#include <algorithm>

void pytools::reloadIfChanged()
{
    if (m_frame->isVisible() || !m_watch.changed())
        return;
    const QString category = selectedCategory();
    const int categoryRow = selectedCategoryIndex();
    const QString comment = selectedComment();
    const int commentRow = selectedCommentIndex();
    const Rating kept = rating();
    load();
    const auto rowOf = [](QListWidget *list, const QString &text, int fallback) {
        const QList<QListWidgetItem *> same = list->findItems(text, Qt::MatchExactly);
        return same.isEmpty() ? std::min(fallback, list->count() - 1) : list->row(same.first());
    };
    if (categoryRow >= 0 && m_lblb->count() > 0)
        m_lblb->setCurrentRow(rowOf(m_lblb, category, categoryRow));
    setRating(kept);
    if (commentRow >= 0 && m_lbnr->count() > 0)
        m_lbnr->setCurrentRow(rowOf(m_lbnr, comment, commentRow));
}
