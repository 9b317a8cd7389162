// Feeds arbitrary bytes to the comment-library rules: every query and every change, with names
// and texts taken from the input itself. Besides not crashing, each change must give lines that
// are written and read back unchanged (no line break slips into a name or a text), adding a
// category must list it last, and deleting a category that is not there changes nothing. For
// some inputs one change chosen by the input is also made on a file, which must then read back
// as the lines the same change gives in memory.
#include "core/library/commentlibrary.h"
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fuzzcheck.h"

#include <cstdint>
#include <cstdlib>

namespace {

/// The lines read back as written: true exactly when no line holds a line break.
void checkWritesBack(const QStringList &lines)
{
    for (const QString &line : lines)
        check(!line.contains(u'\r') && !line.contains(u'\n'));
}

/// A text as a change writes it: each line break a blank.
QString asWritten(QString text)
{
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return text;
}

/// A folder in memory when there is one: the file changes are made without disk writes.
QString scratchFile()
{
    static QTemporaryDir dir(
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/qhsy-fuzz-XXXXXX") : QString());
    if (!dir.isValid())
        std::abort();
    return dir.filePath(ProgramFiles::LibraryName);
}

/// Makes one change on a file holding the bytes and compares it with the change in memory.
void checkFileChange(const QByteArray &bytes, const QStringList &lines, const QString &name,
                     const QString &text, Rating rating, unsigned which)
{
    const QString path = scratchFile();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            std::abort();
    }
    CommentLibrary library(path);
    Result<CommentLibrary::Written> status = CommentLibrary::Written{};
    QStringList expected;
    switch (which % 6) {
    case 0:
        status = library.addCategory(name);
        expected = CommentLibrary::withCategoryAdded(lines, name);
        break;
    case 1:
        status = library.renameCategory(name, text);
        expected = CommentLibrary::withCategoryRenamed(lines, name, text);
        break;
    case 2:
        status = library.deleteCategory(name);
        expected = CommentLibrary::withCategoryDeleted(lines, name);
        break;
    case 3:
        status = library.addComments(name, rating, {text, name});
        expected = CommentLibrary::withCommentsAdded(lines, name, rating, {text, name});
        break;
    case 4:
        status = library.replaceComment(text, name);
        expected = CommentLibrary::withCommentReplaced(lines, text, name);
        break;
    default:
        status = library.deleteComment(text);
        expected = CommentLibrary::withCommentDeleted(lines, text);
        break;
    }
    check(status.ok());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    const QByteArray written = file.readAll();
    const QStringList reread = toList(TextFile::splitLineViewsAnyBreak(TextFile::decode(written)));
    // Lines a change keeps are written as the bytes they had; only bytes that read back the
    // same way after a line break (all of them, in a well-formed file) give the same text.
    if (TextFile::encode(TextFile::decode(bytes)) == bytes)
        check(reread == expected);
    else
        check(reread.size() == expected.size());
    // A rewritten file ends every line with CR LF (deleting a missing category rewrites nothing).
    check(written == bytes || written.isEmpty() || written.endsWith("\r\n"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = TextFile::decode(bytes);
    const QStringList lines = toList(TextFile::splitLineViewsAnyBreak(text));

    // Names and texts from the input: its first lines, a stretch of the raw text (line breaks
    // included) and the categories it holds.
    const QString first = lines.value(0);
    const QString second = lines.value(1);
    const QString raw = text.left(200);
    const QStringList names = CommentLibrary::categoryNamesIn(lines);
    QStringList candidates{first, second, raw};
    for (qsizetype i = 0; i < names.size() && i < 3; ++i)
        candidates.append(names.at(i));
    if (!names.isEmpty())
        candidates.append(names.last());

    const Rating ratings[] = {Rating::Excellent, Rating::Good, Rating::Lagging};
    const Rating chosen = ratings[size % 3];

    for (const QString &name : candidates) {
        for (Rating rating : ratings)
            CommentLibrary::commentsIn(lines, name, rating);

        const QStringList added = CommentLibrary::withCategoryAdded(lines, name);
        checkWritesBack(added);
        check(CommentLibrary::categoryNamesIn(added) ==
              names + QStringList{CommentLibrary::trimBlanks(asWritten(name))});

        checkWritesBack(CommentLibrary::withCategoryRenamed(lines, name, raw));
        checkWritesBack(CommentLibrary::withCategoryRenamed(lines, name, second));

        const QStringList deleted = CommentLibrary::withCategoryDeleted(lines, name);
        if (!names.contains(name))
            check(deleted == lines);
        checkWritesBack(deleted);

        const QStringList texts{second, raw, first};
        const QStringList withComments = CommentLibrary::withCommentsAdded(lines, name, chosen, texts);
        checkWritesBack(withComments);
        // Where the section exists, the new texts come first in it, in order.
        QStringList expected;
        for (const QString &one : texts)
            expected.append(asWritten(one));
        const QStringList found = CommentLibrary::commentsIn(withComments, name, chosen);
        if (!expected.join(QString()).contains(CommentLibrary::SectionMarker) && !found.isEmpty())
            check(found.mid(0, expected.size()) == expected);
    }

    // Reading a file costs far more than the rules under the sanitizers: one input in eight.
    if (size % 8 == 0)
        checkFileChange(bytes, lines, names.isEmpty() ? first : names.last(), second, chosen,
                        unsigned(size / 8));

    for (const QString &comment : {first, second, raw}) {
        checkWritesBack(CommentLibrary::withCommentReplaced(lines, comment, raw));
        const QStringList kept = CommentLibrary::withCommentDeleted(lines, comment);
        check(!kept.contains(QString()));
        checkWritesBack(kept);
    }
    return 0;
}
