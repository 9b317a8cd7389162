#pragma once

#include <QList>
#include <QString>

class CommentDocument;
class TextMeasurer;
struct LayoutScheme;

/// Whether a comment fits where a scheme prints it.
namespace FitCheck {

/// How many of the comment's printed lines end below its box (the scheme's comment height), below
/// the paper or below the top of a heading or date printed under the comment's first line and
/// across its box, whichever comes first; 0 when it fits. The lines are measured as the print
/// run composes them, at full size.
int linesPastBox(const CommentDocument &document, int student, const LayoutScheme &scheme,
                 const TextMeasurer &measurer);

/// How the teacher is told: "超出打印区域 3 行".
QString pastText(int lines);

/// A student whose comment runs past its box, and by how many lines.
struct PastBox
{
    int student = 0; ///< 0-based
    int lines = 0;
};

/// Of `students` (0-based), those whose comment runs past its box, in the same order: what a
/// print run of them is asked about before it prints.
QList<PastBox> studentsPastBox(const CommentDocument &document, const QList<int> &students,
                               const LayoutScheme &scheme, const TextMeasurer &measurer);

} // namespace FitCheck
