#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

/// Finding and replacing text in the class's comments, each comment as its box shows it.
namespace FindReplace {

/// A place found: the student (0-based) and the part of the text (UTF-16).
struct Match
{
    int student = 0;
    int position = 0;
    int length = 0;

    friend bool operator==(const Match &, const Match &) = default;
};

/// Where `needle` stands in `text`, left to right, occurrences not overlapping.
QList<int> positionsIn(QStringView text, QStringView needle, Qt::CaseSensitivity cs);

/// The next place after (student, position), or before it going backwards, over the texts in
/// student order, round the end of the class to its start (or the other way); nullopt when
/// the needle stands nowhere. A place that begins exactly at the start is skipped going
/// forwards, so that "next" moves on from a match that is selected.
std::optional<Match> next(const QStringList &texts, QStringView needle, Qt::CaseSensitivity cs, int student,
                          int position, bool backwards);

} // namespace FindReplace
