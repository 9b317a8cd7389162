#pragma once

#include "core/document/commentdocument.h"

#include <algorithm>

/// A class of `students` students named 学生1, 学生2, …, each with the comment `comment` followed
/// by its number (at most 100 students).
inline CommentDocument classOf(int students, const QString &comment = QStringLiteral("评语"))
{
    CommentDocument document;
    for (int i = 1; i <= std::min(students, CommentDocument::MaxStudents); ++i)
        document.slot(i) = {QStringLiteral("学生%1").arg(i), comment + QString::number(i)};
    return document;
}
