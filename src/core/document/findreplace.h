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

/// One text a replace-all changes: its student, how many places, the text before and after.
struct Change
{
    int student = 0;
    int places = 0;
    QString before;
    QString after;

    friend bool operator==(const Change &, const Change &) = default;
};

/// Replacing every `needle` by `replacement`: the texts that change, in student order.
QList<Change> replaceAll(const QStringList &texts, QStringView needle, const QString &replacement,
                         Qt::CaseSensitivity cs);

/// The question before a replace-all: how many places in how many students, and what by what.
QString replaceAllQuestion(const QList<Change> &changes, const QString &needle, const QString &replacement);

/// Where `needle` stands in `text`, left to right, occurrences not overlapping.
QList<int> positionsIn(QStringView text, QStringView needle, Qt::CaseSensitivity cs);

/// The next place after (student, position), or before it going backwards, over the texts in
/// student order, round the end of the class to its start (or the other way); nullopt when
/// the needle stands nowhere. A place that begins exactly at the start is skipped going
/// forwards, so that "next" moves on from a match that is selected.
std::optional<Match> next(const QStringList &texts, QStringView needle, Qt::CaseSensitivity cs, int student,
                          int position, bool backwards);

} // namespace FindReplace
