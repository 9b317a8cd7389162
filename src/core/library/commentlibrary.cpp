#include "core/library/commentlibrary.h"

#include "core/platform/linerewrite.h"
#include "core/platform/textfile.h"

#include <QByteArrayView>
#include <QList>
#include <QStringView>

#include <algorithm>

// Every rule below is written once, over a list of line views, and sends its result to a sink:
// either "keep input line i" or "add this new line". The QStringList functions collect into a
// list (kept lines stay shared, nothing is copied); the file operations build the new file's
// bytes directly, copying a kept line's bytes as they were and encoding only new lines, so a
// change to a large library decodes the file once and never encodes it whole.

namespace {

const QChar Letters[] = {u'好', u'中', u'差'};

QChar letterOf(Rating rating)
{
    switch (rating) {
    case Rating::Excellent:
        return Letters[0];
    case Rating::Good:
        return Letters[1];
    case Rating::Lagging:
        break;
    }
    return Letters[2];
}

/// The text without the given characters at its start and end.
QStringView trimmedOf(QStringView text, QStringView characters)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && characters.contains(text[begin]))
        ++begin;
    while (end > begin && characters.contains(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QStringView trimmedOfBlanks(QStringView text)
{
    return trimmedOf(text, u" ");
}

/// A section line is recognised with the blanks and TABs around it removed (it starts with a
/// TAB when this program writes it).
QStringView trimmedOfBlanksAndTabs(QStringView text)
{
    return trimmedOf(text, u" \t");
}

bool isCategoryLine(QStringView line)
{
    return line.startsWith(CommentLibrary::CategoryMarker);
}

/// The category a category line opens, as the library lists it.
QStringView categoryName(QStringView line)
{
    return trimmedOfBlanks(line.mid(CommentLibrary::CategoryMarker.size()));
}

bool holdsMarker(QStringView line)
{
    return line.contains(CommentLibrary::SectionMarker);
}

/// "*!*" + category + letter: what a section line reads as once blanks around it are gone.
QString sectionKey(const QString &category, QChar letter)
{
    return CommentLibrary::SectionMarker + category + letter;
}

bool isSectionLine(QStringView line, const QString &key)
{
    return line.size() >= key.size() && trimmedOfBlanksAndTabs(line) == key;
}

/// Whether some query would take the line for a section line: "*!*", any name, a letter.
bool isAnySectionLine(QStringView line)
{
    const QStringView text = trimmedOfBlanksAndTabs(line);
    if (text.size() <= CommentLibrary::SectionMarker.size() ||
        !text.startsWith(CommentLibrary::SectionMarker))
        return false;
    const QChar last = text.back();
    return last == Letters[0] || last == Letters[1] || last == Letters[2];
}

/// The text of a comment line: the first two characters are the indent, whatever they are.
QStringView commentText(QStringView line)
{
    return line.size() > 2 ? line.mid(2) : QStringView();
}

/// A line break inside a name or a text would split it into lines of another meaning when the
/// file is read again, so each one is written as a blank.
QString oneLine(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    return result;
}

/// A comment as it is stored: on one line, and with no marker left in it.
QString storedComment(const QString &text)
{
    QString stored = oneLine(text);
    // Replacing can bring a new marker together ("*!*!*"), so repeat until none is left.
    while (stored.contains(CommentLibrary::SectionMarker))
        stored.replace(CommentLibrary::SectionMarker, CommentLibrary::EscapedMarker);
    return stored;
}

QString commentLine(const QString &text)
{
    return QStringLiteral("\t\t") + storedComment(text);
}

qsizetype indexOfCategory(const QList<QStringView> &lines, QStringView name)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (isCategoryLine(lines[i]) && categoryName(lines[i]) == name)
            return i;
    }
    return -1;
}

qsizetype indexOfSection(const QList<QStringView> &lines, const QString &category, Rating rating)
{
    const QString key = sectionKey(category, letterOf(rating));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (isSectionLine(lines[i], key))
            return i;
    }
    return -1;
}

// ---- Sinks --------------------------------------------------------------------------------

using LineRewrite::FileSink;
using LineRewrite::ListSink;
using LineRewrite::viewsOf;

// ---- The rules ----------------------------------------------------------------------------

template<class Sink> void addCategory(const QList<QStringView> &lines, const QString &name, Sink &out)
{
    for (qsizetype i = 0; i < lines.size(); ++i)
        out.keep(i);
    const QString clean = CommentLibrary::trimBlanks(oneLine(name));
    out.add(CommentLibrary::CategoryMarker + clean);
    for (QChar letter : Letters)
        out.add(u'\t' + sectionKey(clean, letter));
}

template<class Sink>
void renameCategory(const QList<QStringView> &lines, const QString &oldName, const QString &newName,
                    Sink &out)
{
    const QString clean = CommentLibrary::trimBlanks(oneLine(newName));
    const QString category = CommentLibrary::CategoryMarker + clean;
    QString oldKeys[3], newLines[3];
    for (int k = 0; k < 3; ++k) {
        oldKeys[k] = sectionKey(oldName, Letters[k]);
        newLines[k] = u'\t' + sectionKey(clean, Letters[k]);
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = lines[i];
        if (isCategoryLine(line) && categoryName(line) == oldName) {
            out.add(category);
            continue;
        }
        int section = -1;
        if (holdsMarker(line)) {
            for (int k = 0; k < 3 && section < 0; ++k) {
                if (isSectionLine(line, oldKeys[k]))
                    section = k;
            }
        }
        if (section >= 0)
            out.add(newLines[section]);
        else
            out.keep(i);
    }
}

/// Returns false, sending nothing, when there is no category of the name.
template<class Sink> bool deleteCategory(const QList<QStringView> &lines, const QString &name, Sink &out)
{
    const qsizetype first = indexOfCategory(lines, name);
    if (first < 0)
        return false;
    for (qsizetype i = 0; i < first; ++i) {
        if (!lines[i].isEmpty())
            out.keep(i);
    }
    qsizetype next = first + 1;
    while (next < lines.size() && !isCategoryLine(lines[next]))
        ++next;
    for (qsizetype i = next; i < lines.size(); ++i)
        out.keep(i);
    return true;
}

template<class Sink>
void addComments(const QList<QStringView> &lines, const QString &category, Rating rating,
                 const QStringList &texts, Sink &out)
{
    const qsizetype section = indexOfSection(lines, category, rating);
    const qsizetype split = section < 0 ? lines.size() : section + 1;
    for (qsizetype i = 0; i < split; ++i)
        out.keep(i);
    for (const QString &text : texts)
        out.add(commentLine(text));
    for (qsizetype i = split; i < lines.size(); ++i)
        out.keep(i);
}

/// *replaced tells whether some line took the new text.
template<class Sink>
void replaceComment(const QList<QStringView> &lines, const QString &oldText, const QString &newText,
                    Sink &out, bool *replaced = nullptr)
{
    const QString replacement = commentLine(newText);
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = lines[i];
        if (holdsMarker(line)) {
            inSection = isAnySectionLine(line);
            out.keep(i);
        } else if (inSection && commentText(line) == oldText) {
            out.add(replacement);
            if (replaced)
                *replaced = true;
        } else {
            out.keep(i);
        }
    }
}

template<class Sink> void deleteComment(const QList<QStringView> &lines, const QString &text, Sink &out)
{
    const QStringView wanted = trimmedOfBlanks(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = lines[i];
        if (line.isEmpty() || trimmedOfBlanks(commentText(line)) == wanted)
            continue;
        out.keep(i);
    }
}

QStringList categoryNames(const QList<QStringView> &lines)
{
    QStringList names;
    for (QStringView line : lines) {
        if (isCategoryLine(line))
            names.append(categoryName(line).toString());
    }
    return names;
}

QStringList comments(const QList<QStringView> &lines, const QString &category, Rating rating)
{
    QStringList texts;
    const qsizetype section = indexOfSection(lines, category, rating);
    if (section < 0)
        return texts;
    for (qsizetype i = section + 1; i < lines.size() && !holdsMarker(lines[i]); ++i)
        texts.append(commentText(lines[i]).toString());
    return texts;
}

/// Runs a rule on a list of lines and returns the new list.
template<class Rule> QStringList onList(const QStringList &lines, Rule rule)
{
    const QList<QStringView> views = viewsOf(lines);
    ListSink sink(lines);
    rule(views, sink);
    return sink.take();
}

// ---- The file -----------------------------------------------------------------------------

/// The library file read once, or why it could not be read.
struct Loaded
{
    CommentLibrary::Status status;
    LineRewrite::File file;
};

Loaded load(const QString &path)
{
    Loaded loaded;
    Result<LineRewrite::File> read = LineRewrite::read(path);
    if (read) {
        loaded.file = std::move(read).value();
    } else {
        loaded.status.kind = CommentLibrary::Status::Unreadable;
        loaded.status.error = QStringLiteral("无法读取评语库文件“%1”：%2").arg(path, read.error());
    }
    return loaded;
}

CommentLibrary::Status save(const QString &path, const QByteArray &bytes)
{
    CommentLibrary::Status status;
    // A file the reader would refuse is never written: the old one stays.
    Result<void> written = TextFile::fitsReadLimit(bytes.size());
    if (written)
        written = TextFile::saveAtomically(path, bytes);
    if (!written) {
        status.kind = CommentLibrary::Status::WriteFailed;
        status.error = QStringLiteral("无法写入评语库文件“%1”：%2").arg(path, written.error());
    }
    return status;
}

/// Reads the file, runs a rule that builds the new file, and writes it back. A rule returning
/// false leaves the file as it is.
template<class Rule> CommentLibrary::Status change(const QString &path, Rule rule)
{
    const Loaded loaded = load(path);
    if (!loaded.status.ok())
        return loaded.status;
    FileSink sink(loaded.file);
    if (!rule(loaded.file.lines, sink))
        return {};
    return save(path, sink.take());
}

/// Reads the file and answers a query on its lines; an unreadable file answers with nothing.
template<class Query> auto ask(const QString &path, CommentLibrary::Status *status, Query query)
{
    const Loaded loaded = load(path);
    if (status)
        *status = loaded.status;
    return loaded.status.ok() ? query(loaded.file.lines) : decltype(query(loaded.file.lines))();
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

QStringList CommentLibrary::categoryNames(Status *status) const
{
    return ask(m_path, status, [](const QList<QStringView> &lines) { return ::categoryNames(lines); });
}

QStringList CommentLibrary::comments(const QString &category, Rating rating, Status *status) const
{
    return ask(m_path, status,
               [&](const QList<QStringView> &lines) { return ::comments(lines, category, rating); });
}

CommentLibrary::Status CommentLibrary::addCategory(const QString &name)
{
    return change(m_path, [&](const auto &lines, auto &sink) {
        ::addCategory(lines, name, sink);
        return true;
    });
}

CommentLibrary::Status CommentLibrary::renameCategory(const QString &oldName, const QString &newName)
{
    return change(m_path, [&](const auto &lines, auto &sink) {
        ::renameCategory(lines, oldName, newName, sink);
        return true;
    });
}

CommentLibrary::Status CommentLibrary::deleteCategory(const QString &name)
{
    return change(m_path, [&](const auto &lines, auto &sink) { return ::deleteCategory(lines, name, sink); });
}

CommentLibrary::Status CommentLibrary::addComments(const QString &category, Rating rating,
                                                   const QStringList &texts)
{
    Status status = change(m_path, [&](const auto &lines, auto &sink) {
        ::addComments(lines, category, rating, texts, sink);
        return true;
    });
    status.markerRewritten = status.ok() && std::any_of(texts.begin(), texts.end(), [](const QString &text) {
                                 return ::holdsMarker(text);
                             });
    return status;
}

CommentLibrary::Status CommentLibrary::replaceComment(const QString &oldText, const QString &newText)
{
    bool replaced = false;
    Status status = change(m_path, [&](const auto &lines, auto &sink) {
        ::replaceComment(lines, oldText, newText, sink, &replaced);
        return true;
    });
    status.markerRewritten = status.ok() && replaced && ::holdsMarker(newText);
    return status;
}

CommentLibrary::Status CommentLibrary::deleteComment(const QString &text)
{
    return change(m_path, [&](const auto &lines, auto &sink) {
        ::deleteComment(lines, text, sink);
        return true;
    });
}
