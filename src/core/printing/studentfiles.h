#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class CommentDocument;

/// One file per student, for sending to each family: which students, and the files' names.
namespace StudentFiles {

/// The longest file name, in bytes, the usual Linux file systems take.
constexpr int MaxNameBytes = 255;

/// "01 李思彤.pdf": the student's list position (two digits; three in a class of 100 or more
/// students, `classSize`), a space, the name, and `suffix` (without the dot). Characters that
/// some file system refuses (`/ \ : * ? " < > |` and control characters) become `_`, so a file
/// copied to a phone or a USB stick keeps its name; a long name is shortened to fit. Two students
/// of the same name stay apart by their number.
QString fileName(int position, int classSize, const QString &name, const QString &suffix);

/// The students (0-based) that get a file: every named student up to the first empty name; those
/// with an empty comment only when `includeEmpty`.
QList<int> students(const CommentDocument &document, bool includeEmpty);

/// The names for `students` (0-based list positions) of `document`.
QStringList fileNames(const CommentDocument &document, const QList<int> &students, const QString &suffix);

/// Why no file can be saved into `folder`, in the teacher's words ("文件夹“…”不存在。", or that
/// it takes no new file and why); "" when it can. A small file is made there and removed again
/// to find out: the permission bits alone do not tell (a read-only disk, the administrator).
QString folderProblem(const QString &folder);

} // namespace StudentFiles
