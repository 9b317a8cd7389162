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

QList<Change> replaceAll(const QStringList &texts, QStringView needle, const QString &replacement,
                         Qt::CaseSensitivity cs)
{
    QList<Change> changes;
    for (int k = 0; k < texts.size(); ++k) {
        const QList<int> places = positionsIn(texts[k], needle, cs);
        if (places.isEmpty())
            continue;
        QString after = texts[k];
        for (auto it = places.crbegin(); it != places.crend(); ++it)
            after.replace(*it, needle.size(), replacement);
        changes.append({k, int(places.size()), texts[k], after});
    }
    return changes;
}

QString replaceAllQuestion(const QList<Change> &changes, const QString &needle, const QString &replacement)
{
    int places = 0;
    for (const Change &change : changes)
        places += change.places;
    return QStringLiteral("将把 %1 名学生评语中的 %2 处“%3”替换为“%4”。\n"
                          "替换之后可以用“编辑”菜单的“撤消全部替换”全部恢复。要替换吗？")
        .arg(changes.size())
        .arg(places)
        .arg(needle, replacement);
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
