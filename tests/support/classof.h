#pragma once

#include "core/document/commentdocument.h"
#include "core/document/commentfile.h"
#include "core/platform/textfile.h"

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

/// The bytes of a class file of `students` students named as classOf names them, past 100 too
/// (as a file written by hand or by another program may be).
inline QByteArray classFileOf(int students)
{
    QString text = CommentFile::compose(classOf(students), CommentDocument().ItemFonts);
    for (int i = CommentDocument::MaxStudents + 1; i <= students; ++i)
        text += QStringLiteral("*!*学生%1\r\n评语%1\r\n*!*\r\n").arg(i);
    return TextFile::encode(text);
}
