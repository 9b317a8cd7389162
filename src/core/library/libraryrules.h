#pragma once

#include "core/library/commentlibrary.h"
#include "core/platform/linerewrite.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QSet>
#include <QStringView>

/// The rules of the library file on a list of line views, for CommentLibrary (its only user).
/// Each rule sends the new file to a sink: "keep input line i" or "add this new line".
namespace LibraryRules {


inline const QChar Letters[] = {u'好', u'中', u'差'};

inline QChar letterOf(Rating rating)
{
    switch (rating) {
    case Rating::Excellent:
        return Letters[0];
    case Rating::Good:
        return Letters[1];
    case Rating::Lagging:
    case Rating::None: // no section of its own
        break;
    }
    return Letters[2];
}

/// The text without the given characters at its start and end.
inline QStringView trimmedOf(QStringView text, QStringView characters)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && characters.contains(text[begin]))
        ++begin;
    while (end > begin && characters.contains(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

inline QStringView trimmedOfBlanks(QStringView text)
{
    return trimmedOf(text, u" ");
}

/// A section line is recognised with the blanks and TABs around it removed (it starts with a
/// TAB when this program writes it).
inline QStringView trimmedOfBlanksAndTabs(QStringView text)
{
    return trimmedOf(text, u" \t");
}

inline bool isCategoryLine(QStringView line)
{
    return line.startsWith(CommentLibrary::CategoryMarker);
}

/// The category a category line opens, as the library lists it.
inline QStringView categoryName(QStringView line)
{
    return trimmedOfBlanks(line.mid(CommentLibrary::CategoryMarker.size()));
}

inline bool holdsMarker(QStringView line)
{
    return line.contains(CommentLibrary::SectionMarker);
}

/// "*!*" + category + letter: what a section line reads as once blanks around it are gone.
inline QString sectionKey(const QString &category, QChar letter)
{
    return CommentLibrary::SectionMarker + category + letter;
}

inline bool isSectionLine(QStringView line, const QString &key)
{
    return line.size() >= key.size() && trimmedOfBlanksAndTabs(line) == key;
}

/// Whether some query would take the line for a section line: "*!*", any name, a letter.
inline bool isAnySectionLine(QStringView line)
{
    const QStringView text = trimmedOfBlanksAndTabs(line);
    if (text.size() <= CommentLibrary::SectionMarker.size() ||
        !text.startsWith(CommentLibrary::SectionMarker))
        return false;
    const QChar last = text.back();
    return last == Letters[0] || last == Letters[1] || last == Letters[2];
}

/// The text of a comment line: the first two characters are the indent, whatever they are.
inline QStringView commentText(QStringView line)
{
    return line.size() > 2 ? line.mid(2) : QStringView();
}

/// A line break inside a name or a text would split it into lines of another meaning when the
/// file is read again, so each one is written as a blank.
inline QString oneLine(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    return result;
}

/// A comment as it is stored: on one line, and with no marker left in it.
inline QString storedComment(const QString &text)
{
    QString stored = oneLine(text);
    // Replacing can bring a new marker together ("*!*!*"), so repeat until none is left.
    while (stored.contains(CommentLibrary::SectionMarker))
        stored.replace(CommentLibrary::SectionMarker, CommentLibrary::EscapedMarker);
    return stored;
}

inline QString commentLine(const QString &text)
{
    return QStringLiteral("\t\t") + storedComment(text);
}

inline qsizetype indexOfCategory(const QList<QStringView> &lines, QStringView name)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (isCategoryLine(lines[i]) && categoryName(lines[i]) == name)
            return i;
    }
    return -1;
}

inline qsizetype indexOfSection(const QList<QStringView> &lines, const QString &category, Rating rating)
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

/// Where the comments of a section end: the next line holding the marker, or the end.
inline qsizetype endOfSection(const QList<QStringView> &lines, qsizetype section)
{
    qsizetype end = section + 1;
    while (end < lines.size() && !holdsMarker(lines[end]))
        ++end;
    return end;
}

/// The line of a comment in its section (the first of that text), or -1.
inline qsizetype indexOfComment(const QList<QStringView> &lines, const CommentLibrary::Entry &entry)
{
    const qsizetype section = indexOfSection(lines, entry.category, entry.rating);
    if (section < 0)
        return -1;
    const QString stored = storedComment(entry.text);
    for (qsizetype i = section + 1; i < lines.size() && !holdsMarker(lines[i]); ++i) {
        if (commentText(lines[i]) == stored)
            return i;
    }
    return -1;
}

/// Comments to add to one section: first in it, or after its own.
struct Addition
{
    QString category;
    Rating rating = Rating::Excellent;
    QStringList texts;
    bool first = false;
};

/// Adds comments to their sections. A section the file lacks is added at the end of its
/// category; a category it lacks is added at the end of the file with its three sections.
template<class Sink>
void addToSections(const QList<QStringView> &lines, const QList<Addition> &additions, Sink &out)
{
    QMap<qsizetype, QStringList> before; // new lines to send before line i (or at the end)
    QStringList newCategories;
    QHash<QString, QStringList> newSections[3]; // by new category, per rating
    for (const Addition &addition : additions) {
        if (addition.texts.isEmpty())
            continue;
        QStringList added;
        for (const QString &text : addition.texts)
            added.append(commentLine(text));
        const QString category = CommentLibrary::trimBlanks(oneLine(addition.category));
        const int k = int(addition.rating);
        const qsizetype section = indexOfSection(lines, category, addition.rating);
        if (section >= 0) {
            before[addition.first ? section + 1 : endOfSection(lines, section)] += added;
            continue;
        }
        const qsizetype at = indexOfCategory(lines, category);
        if (at < 0) {
            if (!newCategories.contains(category))
                newCategories.append(category);
            newSections[k][category] += added;
            continue;
        }
        qsizetype end = at + 1;
        while (end < lines.size() && !isCategoryLine(lines[end]))
            ++end;
        before[end] += QStringList{u'\t' + sectionKey(category, Letters[k])} + added;
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        for (const QString &line : before.value(i))
            out.add(line);
        out.keep(i);
    }
    for (const QString &line : before.value(lines.size()))
        out.add(line);
    for (const QString &category : std::as_const(newCategories)) {
        out.add(CommentLibrary::CategoryMarker + category);
        for (int k = 0; k < 3; ++k) {
            out.add(u'\t' + sectionKey(category, Letters[k]));
            for (const QString &line : newSections[k].value(category))
                out.add(line);
        }
    }
}

inline QStringList comments(const QList<QStringView> &lines, const QString &category, Rating rating);

/// What a merge adds: per category (this library's order, then the other's new ones) and
/// rating, the other's comments this library lacks, each text once.
inline QList<Addition> mergeAdditions(const QList<QStringView> &lines, const QList<CommentLibrary::Entry> &other,
                               qsizetype *count)
{
    QList<Addition> additions;
    QHash<QString, qsizetype> where; // category + letter -> index in additions
    QHash<QString, QSet<QString>> present;
    *count = 0;
    for (const CommentLibrary::Entry &entry : other) {
        const QString stored = storedComment(entry.text);
        if (CommentLibrary::trimBlanks(stored).isEmpty())
            continue;
        const QString key = sectionKey(entry.category, letterOf(entry.rating));
        auto known = present.find(key);
        if (known == present.end()) {
            const QStringList own = comments(lines, entry.category, entry.rating);
            known = present.insert(key, QSet<QString>(own.begin(), own.end()));
        }
        if (known->contains(stored))
            continue;
        known->insert(stored);
        auto index = where.constFind(key);
        if (index == where.cend()) {
            index = where.insert(key, additions.size());
            additions.append({entry.category, entry.rating, {}, false});
        }
        additions[*index].texts.append(stored);
        ++*count;
    }
    return additions;
}

inline QStringList categoryNames(const QList<QStringView> &lines)
{
    QStringList names;
    for (QStringView line : lines) {
        if (isCategoryLine(line))
            names.append(categoryName(line).toString());
    }
    return names;
}

inline QStringList comments(const QList<QStringView> &lines, const QString &category, Rating rating)
{
    QStringList texts;
    const qsizetype section = indexOfSection(lines, category, rating);
    if (section < 0)
        return texts;
    for (qsizetype i = section + 1; i < lines.size() && !holdsMarker(lines[i]); ++i)
        texts.append(commentText(lines[i]).toString());
    return texts;
}

inline QList<CommentLibrary::Entry> entries(const QList<QStringView> &lines)
{
    // One pass finds every section line, so that each of the category × rating lookups the
    // window makes (the first section line of its key, as comments() finds it) is a hash lookup.
    QHash<QStringView, qsizetype> sections;
    QStringList names;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (isCategoryLine(lines[i]))
            names.append(categoryName(lines[i]).toString());
    }
    // Walking backwards, the first line of a key is the one left in the hash.
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        if (!isCategoryLine(lines[i]) && holdsMarker(lines[i]) && isAnySectionLine(lines[i]))
            sections.insert(trimmedOfBlanksAndTabs(lines[i]), i);
    }
    QList<CommentLibrary::Entry> found;
    QSet<QString> done;
    for (const QString &name : std::as_const(names)) {
        if (done.contains(name))
            continue; // a second category of the name shows the first one's comments
        done.insert(name);
        for (const Rating rating : {Rating::Excellent, Rating::Good, Rating::Lagging}) {
            const QString key = sectionKey(name, letterOf(rating));
            const auto section = sections.constFind(QStringView(key));
            if (section == sections.cend())
                continue;
            for (qsizetype i = *section + 1; i < lines.size() && !holdsMarker(lines[i]); ++i)
                found.append({name, rating, commentText(lines[i]).toString()});
        }
    }
    return found;
}

/// Runs a rule on a list of lines and returns the new list.
template<class Rule> QStringList onList(const QStringList &lines, Rule rule)
{
    const QList<QStringView> views = viewsOf(lines);
    ListSink sink(lines);
    rule(views, sink);
    return sink.take();
}

} // namespace LibraryRules
