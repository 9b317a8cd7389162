#pragma once

#include <QString>
#include <QStringList>

/// Checks on a file about to be written that must never be a teacher's class: the file an
/// action reads from, or a comment file, replaced by a PDF or a text.
namespace OutputTarget {

/// Whether two paths name the same existing file (the same device and inode: also through a
/// symbolic or hard link, or a path spelt another way).
bool sameFile(const QString &first, const QString &second);

/// The first of `inputs` that is the same file as `out`; "" when none is.
QString inputNamed(const QString &out, const QStringList &inputs);

/// Whether `path` reads as a comment file: its name ends in .py or .pyn, or it is an existing
/// regular file that begins with the comment-file header. Pipes and devices are never read.
bool readsAsCommentFile(const QString &path);

/// Why the window's save dialog must not write a PDF, a text or a document to `path`: it is the
/// open class's own file or a comment file. "" when it may.
QString saveProblem(const QString &path, const QString &classPath);

} // namespace OutputTarget
