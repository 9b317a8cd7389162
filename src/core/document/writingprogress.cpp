#include "core/document/writingprogress.h"

#include "core/document/commentdocument.h"

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

int characterCount(QStringView text)
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
    for (const QChar c : text) {
        if (!plain(c)) {
            simple = false;
            break;
        }
    }
    if (simple)
        return int(text.size());
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), int(text.size()));
    int count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
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
