#include "core/document/writingprogress.h"

#include "core/document/commentdocument.h"

#include <QList>
#include <QTextBoundaryFinder>

namespace WritingProgress {

bool isWritten(QStringView comment)
{
    for (const QChar c : comment) {
        if (!c.isSpace())
            return true;
    }
    return false;
}

int writtenCount(const CommentDocument &document)
{
    const int students = document.studentCount();
    int written = 0;
    for (int slot = 1; slot <= students; ++slot) {
        if (isWritten(document.slot(slot).comment))
            ++written;
    }
    return written;
}

namespace {

/// The grapheme clusters of a text; with skipBlanks, the ones that are whitespace throughout
/// (CR LF, a tab, a full-width space) are not counted.
int clusterCount(QStringView text, bool skipBlanks)
{
    // Most comments are CJK, Latin and punctuation, where one code unit is one character: they
    // are counted without the finder. Anything else (surrogates, combining marks, CR LF, Hangul
    // jamo) goes through it.
    const auto plain = [](QChar c) {
        const char16_t u = c.unicode();
        const bool combining = (u >= 0x302A && u <= 0x302F) || u == 0x3099 || u == 0x309A;
        return u == u'\n' || u == u'\t' || (u >= 0x20 && u < 0x300) ||
               (u >= 0x3000 && u < 0xA000 && !combining) || (u >= 0xFF00 && u < 0xFFF0);
    };
    bool simple = true;
    int count = 0;
    for (const QChar c : text) {
        if (!plain(c)) {
            simple = false;
            break;
        }
        if (!skipBlanks || !c.isSpace())
            ++count;
    }
    if (simple)
        return count;
    const auto blank = [](QStringView cluster) {
        for (const char32_t u : cluster.toUcs4()) {
            if (!QChar::isSpace(u))
                return false;
        }
        return true;
    };
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), int(text.size()));
    count = 0;
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end > 0; end = finder.toNextBoundary()) {
        if (!skipBlanks || !blank(text.sliced(start, end - start)))
            ++count;
        start = end;
    }
    return count;
}

} // namespace

int characterCount(QStringView text)
{
    return clusterCount(text, false);
}

int readerCount(QStringView text)
{
    return clusterCount(text, true);
}

QString writtenText(int written, int students)
{
    return QStringLiteral("已写 %1/%2").arg(written).arg(students);
}

QString lengthText(int characters)
{
    return QStringLiteral("本条评语 %1 字").arg(characters);
}

} // namespace WritingProgress
