// The library window's library: which file it is, its reload after another teacher changed it,
// and what a stock comment's marks say. Kept apart from pytools.cpp, which holds the window's
// layout and editing.
#include "ui/library/pytools.h"

#include "core/library/librarylocation.h"
#include "core/document/session.h"
#include "core/library/stockcomment.h"
#include "core/platform/platform.h"

#include <QGroupBox>
#include <QListWidget>

#include <algorithm>
#include <memory>

namespace {

// A stock comment's marks shown apart from its text: they guide drafting and never reach a comment.
const QString MarksTip = QStringLiteral("标记：%1（供生成草稿用，插入评语时不会带上）");
const QString LockWaitTitle = QStringLiteral("评语库");
const QString UnverifiableTip =
    QStringLiteral("标记：%1（这句话写的是老师才知道的事，生成草稿时不会选用；插入前请确认属实，标记不会带上）");

} // namespace

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

LibraryLocation pytools::location() const
{
    return LibraryLocation(m_platform, m_session.Files().library());
}

CommentLibrary pytools::library() const
{
    // The box opens when the wait is noticed and goes when it ends, before the change goes on
    // or its failure is told (no other box may show over it).
    auto box = std::make_shared<std::unique_ptr<ProgressWindow>>();
    LockWait wait = m_lockWait;
    Platform &platform = m_platform;
    auto text = std::make_shared<QString>();
    wait.notice = [box, text, &platform](const LockHolder &who) {
        *text = lockWaitText(who);
        *box = platform.openProgress(LockWaitTitle, *text, 0);
    };
    wait.ended = [box] { box->reset(); };
    // 停止 ends the wait: the change is not made.
    wait.stopped = [box, text] { return *box && (*box)->advance(0, *text); };
    CommentLibrary library(location().path());
    library.setLockWait(std::move(wait));
    return library;
}

void pytools::setLockWait(std::chrono::milliseconds limit, std::chrono::milliseconds noticeAfter)
{
    m_lockWait.limit = limit;
    m_lockWait.noticeAfter = noticeAfter;
}

QString pytools::lockWaitText(const LockHolder &who)
{
    return QStringLiteral("评语库正由%1修改，正在等待……").arg(who.describe());
}

QString pytools::marksTip(const QString &line)
{
    const StockComment comment = StockComment::parse(line);
    if (comment.marks.isEmpty())
        return {};
    QString marks;
    for (const QString &mark : comment.marks)
        marks += StockComment::MarkOpen + mark + StockComment::MarkClose;
    return (comment.unverifiable ? UnverifiableTip : MarksTip).arg(marks);
}
