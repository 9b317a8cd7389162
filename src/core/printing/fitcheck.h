#pragma once

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

} // namespace FitCheck
