#include "core/document/roster.h"

#include <algorithm>

namespace Roster {

namespace {

constexpr int Max = CommentDocument::MaxStudents;

bool isStudent(const CommentDocument &document, int k)
{
    return k >= 0 && k < document.studentCount();
}

} // namespace

int addStudent(CommentDocument &document, const QString &name)
{
    const int k = document.studentCount();
    if (k == Max)
        return -1;
    document.slot(k + 1).name = name;
    return k;
}

void deleteStudent(CommentDocument &document, int k)
{
    if (!isStudent(document, k))
        return;
    // Move every later student up one slot, with the comment, until the first free slot has
    // moved up too; from there on every slot is cleared, so that no comment of a free slot
    // is left behind the new last student.
    int firstCleared = Max;
    for (int i = k + 1; i < Max; ++i) {
        document.slot(i) = document.slot(i + 1);
        if (document.slot(i).name.isEmpty()) {
            firstCleared = i;
            break;
        }
    }
    for (int j = firstCleared; j <= Max; ++j)
        document.slot(j) = StudentSlot{};
}

void renameStudent(CommentDocument &document, int k, const QString &name)
{
    if (!isStudent(document, k))
        return;
    document.slot(k + 1).name = name;
}

void deleteAll(CommentDocument &document)
{
    for (int i = 1; i <= Max; ++i) {
        if (document.slot(i).name.isEmpty())
            break;
        document.slot(i) = StudentSlot{};
    }
}

int indexOf(const CommentDocument &document, const QString &name)
{
    const int count = document.studentCount();
    for (int k = 0; k < count; ++k) {
        if (document.slot(k + 1).name == name)
            return k;
    }
    return -1;
}

QStringList names(const CommentDocument &document)
{
    QStringList result;
    for (int k = 0; k < document.studentCount(); ++k)
        result << document.slot(k + 1).name;
    return result;
}

QStringList comments(const CommentDocument &document)
{
    QStringList list;
    for (int k = 0; k < document.studentCount(); ++k)
        list << document.slot(k + 1).comment;
    return list;
}

int commentedCount(const CommentDocument &document, int n)
{
    const int last = std::clamp(n, 0, Max);
    int count = 0;
    for (int i = 1; i <= last; ++i) {
        if (!document.slot(i).comment.isEmpty())
            ++count;
    }
    return count;
}

QString progressMessage(int students, int commented)
{
    return QStringLiteral("共有学生 %1人，其中已输入评语的共 %2人。").arg(students).arg(commented);
}

} // namespace Roster
