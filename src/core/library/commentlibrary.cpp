#include "core/library/commentlibrary.h"

#include "core/library/libraryrules.h"
#include "core/platform/linerewrite.h"
#include "core/platform/textfile.h"

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QStringView>

#include <algorithm>

// Every rule (libraryrules.h) is written once, over a list of line views, and sends its result to a sink:
// either "keep input line i" or "add this new line". The QStringList functions collect into a
// list (kept lines stay shared, nothing is copied); the file operations build the new file's
// bytes directly, copying a kept line's bytes as they were and encoding only new lines, so a
// change to a large library decodes the file once and never encodes it whole.

using namespace LibraryRules;

namespace {

// ---- The file -----------------------------------------------------------------------------

Result<LineRewrite::File> load(const QString &path)
{
    Result<LineRewrite::File> read = LineRewrite::read(path);
    if (!read)
        return Failure{QStringLiteral("无法读取评语库文件“%1”：%2").arg(path, read.error()),
                       FailureKind::Unreadable};
    return read;
}

Result<CommentLibrary::Written> save(const QString &path, const QByteArray &bytes)
{
    // A file the reader would refuse is never written: the old one stays.
    Result<void> written = TextFile::fitsReadLimit(bytes.size());
    if (written)
        written = TextFile::saveAtomically(path, bytes);
    if (!written)
        return Failure{QStringLiteral("无法写入评语库文件“%1”：%2").arg(path, written.error()),
                       FailureKind::WriteFailed};
    return CommentLibrary::Written{};
}

/// Takes the lock, reads the file, runs a rule that builds the new file from what is there now,
/// writes it back and releases the lock. A rule returning false leaves the file as it is.
template<class Rule>
Result<CommentLibrary::Written> change(const QString &path, const LockWait &wait, Rule rule)
{
    LibraryLock lock(path);
    if (const Result<void> locked = lock.acquire(wait); !locked)
        return locked.failure();
    const Result<LineRewrite::File> loaded = load(path);
    if (!loaded)
        return loaded.failure();
    FileSink sink(*loaded);
    if (!rule(loaded->lines, sink))
        return CommentLibrary::Written{};
    return save(path, sink.take());
}

/// Reads the file and answers a query on its lines.
template<class Query> Result<QStringList> ask(const QString &path, Query query)
{
    const Result<LineRewrite::File> loaded = load(path);
    if (!loaded)
        return loaded.failure();
    return query(loaded->lines);
}

/// The change's result, noting a rewritten marker when it wrote one.
Result<CommentLibrary::Written> notingMarker(Result<CommentLibrary::Written> written, bool rewritten)
{
    if (written && rewritten)
        written.value().markerRewritten = true;
    return written;
}

} // namespace

QChar CommentLibrary::letter(Rating rating)
{
    return letterOf(rating);
}

QString CommentLibrary::trimBlanks(QStringView text)
{
    return trimmedOfBlanks(text).toString();
}

CommentLibrary::CommentLibrary(QString path)
    : m_path(std::move(path))
{}

// ---- Rules on lines in memory -------------------------------------------------------------

QStringList CommentLibrary::categoryNamesIn(const QStringList &lines)
{
    return ::categoryNames(viewsOf(lines));
}

QStringList CommentLibrary::commentsIn(const QStringList &lines, const QString &category, Rating rating)
{
    return ::comments(viewsOf(lines), category, rating);
}

QList<CommentLibrary::Entry> CommentLibrary::entriesIn(const QStringList &lines)
{
    return ::entries(viewsOf(lines));
}

QStringList CommentLibrary::withCategoryAdded(const QStringList &lines, const QString &name)
{
    return onList(lines, [&](const auto &views, auto &sink) { ::addCategory(views, name, sink); });
}

QStringList CommentLibrary::withCategoryRenamed(const QStringList &lines, const QString &oldName,
                                                const QString &newName)
{
    return onList(lines,
                  [&](const auto &views, auto &sink) { ::renameCategory(views, oldName, newName, sink); });
}

QStringList CommentLibrary::withCategoryDeleted(const QStringList &lines, const QString &name)
{
    const QList<QStringView> views = viewsOf(lines);
    ListSink sink(lines);
    return ::deleteCategory(views, name, sink) ? sink.take() : lines;
}

QStringList CommentLibrary::withCommentsAdded(const QStringList &lines, const QString &category,
                                              Rating rating, const QStringList &texts)
{
    return onList(
        lines, [&](const auto &views, auto &sink) { ::addComments(views, category, rating, texts, sink); });
}

QStringList CommentLibrary::withCommentReplaced(const QStringList &lines, const QString &oldText,
                                                const QString &newText)
{
    return onList(lines,
                  [&](const auto &views, auto &sink) { ::replaceComment(views, oldText, newText, sink); });
}

QStringList CommentLibrary::withCommentDeleted(const QStringList &lines, const QString &text)
{
    return onList(lines, [&](const auto &views, auto &sink) { ::deleteComment(views, text, sink); });
}

// ---- The file -----------------------------------------------------------------------------

Result<QStringList> CommentLibrary::categoryNames() const
{
    return ask(m_path, [](const QList<QStringView> &lines) { return ::categoryNames(lines); });
}

Result<QStringList> CommentLibrary::comments(const QString &category, Rating rating) const
{
    return ask(m_path, [&](const QList<QStringView> &lines) { return ::comments(lines, category, rating); });
}

Result<QList<CommentLibrary::Entry>> CommentLibrary::entries() const
{
    const Result<LineRewrite::File> loaded = load(m_path);
    if (!loaded)
        return loaded.failure();
    return ::entries(loaded->lines);
}

QList<CommentLibrary::Entry> CommentLibrary::search(const QList<Entry> &entries, QStringView query,
                                                    qsizetype limit)
{
    QList<QStringView> words;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= query.size(); ++i) {
        const bool blank = i == query.size() || query[i].isSpace();
        if (blank && start >= 0) {
            words.append(query.sliced(start, i - start));
            start = -1;
        } else if (!blank && start < 0) {
            start = i;
        }
    }
    QList<Entry> found;
    if (words.isEmpty())
        return found;
    for (const Entry &entry : entries) {
        const bool all = std::all_of(words.begin(), words.end(), [&](QStringView word) {
            return entry.text.contains(word, Qt::CaseInsensitive);
        });
        if (all) {
            found.append(entry);
            if (found.size() >= limit)
                break;
        }
    }
    return found;
}

Result<CommentLibrary::Written> CommentLibrary::addCategory(const QString &name)
{
    return change(m_path, m_wait, [&](const auto &lines, auto &sink) {
        ::addCategory(lines, name, sink);
        return true;
    });
}

Result<CommentLibrary::Written> CommentLibrary::renameCategory(const QString &oldName, const QString &newName)
{
    return change(m_path, m_wait, [&](const auto &lines, auto &sink) {
        ::renameCategory(lines, oldName, newName, sink);
        return true;
    });
}

Result<CommentLibrary::Written> CommentLibrary::deleteCategory(const QString &name)
{
    return change(m_path, m_wait,
                  [&](const auto &lines, auto &sink) { return ::deleteCategory(lines, name, sink); });
}

Result<CommentLibrary::Written> CommentLibrary::addComments(const QString &category, Rating rating,
                                                            const QStringList &texts)
{
    const bool marker =
        std::any_of(texts.begin(), texts.end(), [](const QString &text) { return ::holdsMarker(text); });
    return notingMarker(change(m_path, m_wait,
                               [&](const auto &lines, auto &sink) {
                                   ::addComments(lines, category, rating, texts, sink);
                                   return true;
                               }),
                        marker);
}

Result<CommentLibrary::Written> CommentLibrary::replaceComment(const QString &oldText, const QString &newText)
{
    bool replaced = false;
    Result<Written> written = change(m_path, m_wait, [&](const auto &lines, auto &sink) {
        ::replaceComment(lines, oldText, newText, sink, &replaced);
        return true;
    });
    return notingMarker(std::move(written), replaced && ::holdsMarker(newText));
}

Result<CommentLibrary::Written> CommentLibrary::deleteComment(const QString &text)
{
    return change(m_path, m_wait, [&](const auto &lines, auto &sink) {
        ::deleteComment(lines, text, sink);
        return true;
    });
}

Result<CommentLibrary::Written> CommentLibrary::replaceComment(const Entry &old, const QString &newText)
{
    bool found = false;
    Result<Written> written = change(m_path, m_wait, [&](const auto &lines, auto &sink) {
        const qsizetype at = ::indexOfComment(lines, old);
        found = at >= 0;
        for (qsizetype i = 0; found && i < lines.size(); ++i) {
            if (i == at)
                sink.add(::commentLine(newText));
            else
                sink.keep(i);
        }
        return found;
    });
    if (written && !found)
        return Failure{VanishedMessage, FailureKind::NotFound};
    return notingMarker(std::move(written), ::holdsMarker(newText));
}

Result<CommentLibrary::Written> CommentLibrary::deleteComment(const Entry &old)
{
    bool found = false;
    Result<Written> written = change(m_path, m_wait, [&](const auto &lines, auto &sink) {
        const qsizetype at = ::indexOfComment(lines, old);
        found = at >= 0;
        for (qsizetype i = 0; found && i < lines.size(); ++i) {
            if (i != at)
                sink.keep(i);
        }
        return found;
    });
    if (written && !found)
        return Failure{VanishedMessage, FailureKind::NotFound};
    return written;
}

Result<CommentLibrary::Written> CommentLibrary::addCommentsFirst(const QString &category, Rating rating,
                                                                 const QStringList &texts)
{
    QStringList kept;
    for (const QString &text : texts) {
        if (!text.isEmpty())
            kept.append(text);
    }
    const bool marker =
        std::any_of(kept.begin(), kept.end(), [](const QString &text) { return ::holdsMarker(text); });
    return notingMarker(change(m_path, m_wait,
                               [&](const auto &lines, auto &sink) {
                                   ::addToSections(lines, {{category, rating, kept, true}}, sink);
                                   return !kept.isEmpty();
                               }),
                        marker);
}

QStringList CommentLibrary::withMerged(const QStringList &lines, const QList<Entry> &other, qsizetype *added)
{
    return onList(lines, [&](const auto &views, auto &sink) {
        ::addToSections(views, ::mergeAdditions(views, other, added), sink);
    });
}

Result<qsizetype> CommentLibrary::merge(const CommentLibrary &other)
{
    const Result<QList<Entry>> theirs = other.entries();
    if (!theirs)
        return theirs.failure();
    qsizetype added = 0;
    const Result<Written> written = change(m_path, m_wait, [&](const auto &lines, auto &sink) {
        const QList<Addition> additions = ::mergeAdditions(lines, *theirs, &added);
        if (added > 0)
            ::addToSections(lines, additions, sink);
        return added > 0;
    });
    if (!written)
        return written.failure();
    return added;
}
