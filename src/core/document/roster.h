#pragma once

#include "core/document/commentdocument.h"

#include <QString>
#include <QStringList>

/// Changes of the class roster: the leading slots with names. Every change keeps the rule that
/// the slots after the last student have an empty name and an empty comment. Students are
/// counted from 0 here, as the student list counts them (student k is slot k + 1).
namespace Roster {

/// Puts the name into the slot after the last student (its comment stays empty) and returns
/// the new student's index; -1 and nothing changed when the roster already holds 100.
int addStudent(CommentDocument &document, const QString &name);

/// Removes student k: the students after it move up one slot with their comments, and the
/// slot after the new last student is cleared. Out-of-range k changes nothing.
void deleteStudent(CommentDocument &document, int k);

/// Gives student k a new name; out-of-range k changes nothing.
void renameStudent(CommentDocument &document, int k, const QString &name);

/// Clears the name and comment of every student.
void deleteAll(CommentDocument &document);

/// Index of the first student with exactly this name, or -1.
int indexOf(const CommentDocument &document, const QString &name);

/// The students' names in roster order.
QStringList names(const CommentDocument &document);
/// The students' comments in roster order.
QStringList comments(const CommentDocument &document);

/// Number of the first n students whose comment is not empty.
int commentedCount(const CommentDocument &document, int n);

/// "共有学生 30人，其中已输入评语的共 12人。": each number with its leading blank.
QString progressMessage(int students, int commented);

} // namespace Roster
