#include "core/document/findreplace.h"

#include <algorithm>

namespace FindReplace {

QList<int> positionsIn(QStringView text, QStringView needle, Qt::CaseSensitivity cs)
{
    QList<int> found;
    if (needle.isEmpty())
        return found;
    for (qsizetype at = text.indexOf(needle, 0, cs); at >= 0;
         at = text.indexOf(needle, at + needle.size(), cs))
        found.append(int(at));
    return found;
}

std::optional<Match> next(const QStringList &texts, QStringView needle, Qt::CaseSensitivity cs, int student,
                          int position, bool backwards)
{
    const int n = int(texts.size());
    if (needle.isEmpty() || n == 0)
        return std::nullopt;
    student = std::clamp(student, 0, n - 1);
    const int length = int(needle.size());
    // Every text once, starting with the current one, and the current one again at the end
    // for the places on its other side.
    for (int step = 0; step <= n; ++step) {
        const int k = backwards ? ((student - step) % n + n) % n : (student + step) % n;
        const QList<int> places = positionsIn(texts[k], needle, cs);
        if (places.isEmpty())
            continue;
        if (!backwards) {
            for (const int at : places) {
                if (step == 0 && at <= position)
                    continue;
                if (step == n && at > position)
                    break;
                return Match{k, at, length};
            }
        } else {
            for (auto it = places.crbegin(); it != places.crend(); ++it) {
                if (step == 0 && *it >= position)
                    continue;
                if (step == n && *it < position)
                    break;
                return Match{k, *it, length};
            }
        }
    }
    return std::nullopt;
}

} // namespace FindReplace
