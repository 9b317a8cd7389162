#include "core/platform/messagetext.h"

#include <algorithm>

namespace MessageText {

QString bounded(const QString &text)
{
    if (text.size() <= MaxLineLength && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString result;
    qsizetype at = 0;
    for (int line = 0; at < text.size(); ++line) {
        if (line == MaxLines || result.size() >= MaxLength) {
            result += Cut;
            return result;
        }
        // The line's end, looked for no further than a kept line can reach.
        const qsizetype room = std::min<qsizetype>(text.size() - at, MaxLineLength + 1);
        qsizetype end = at;
        while (end < at + room && text.at(end) != u'\n' && text.at(end) != u'\r')
            ++end;
        if (end - at > MaxLineLength) {
            qsizetype cut = at + MaxLineLength;
            if (text.at(cut - 1).isHighSurrogate()) // a character outside the BMP stays whole
                --cut;
            result += QStringView(text).sliced(at, cut - at);
            result += Cut;
            // On to the line's end.
            while (end < text.size() && text.at(end) != u'\n' && text.at(end) != u'\r')
                ++end;
        } else {
            result += QStringView(text).sliced(at, end - at);
        }
        if (end >= text.size())
            break;
        const qsizetype breakSize = text.at(end) == u'\r' && end + 1 < text.size() && text.at(end + 1) == u'\n' ? 2 : 1;
        result += QStringView(text).sliced(end, breakSize);
        at = end + breakSize;
    }
    return result;
}

} // namespace MessageText
