#pragma once

#include "core/platform/result.h"

#include <QByteArray>
#include <QString>

/// The one way the program writes a file. Every writer (comment files, the template, the
/// library, the schemes, text exports, PDF files, the scratch file) goes through save().
namespace FileSave {

/// A regular file is replaced atomically (QSaveFile, the bytes put on the disk with fsync before
/// the new file takes the old one's place): either the whole new content is there or the old
/// file is untouched. A character device or a FIFO (a terminal, /dev/stdout, a pipe) is written
/// straight into; anything else that is not a regular file (a folder, a block device, a socket)
/// is never replaced. Symbolic links are followed, and FIFOs and devices written into, only where
/// the rule of mayUseInSharedFolder allows it; by the same rule another user's regular file is
/// never replaced in a folder others can write to.
Result<void> save(const QString &path, const QByteArray &bytes);

/// As save(), the file written with the permission bits of `model` (the class file, for what is
/// written beside it: whoever may not read the class may not read its ratings either). Without
/// a model file, as save().
Result<void> saveLike(const QString &path, const QByteArray &bytes, const QString &model);

/// Writes all bytes into an open descriptor (standard output, a pipe, a device).
Result<void> writeToDescriptor(int fd, const QByteArray &bytes);

/// Whether a symbolic link may be followed, a FIFO or a device written into, or a file replaced:
/// always in a folder only its owner can write to; in a folder others can write to (a team
/// folder, /tmp; sticky or not) only when it belongs to the user. There another user's link
/// could point anywhere (at one of the teacher's own files), another user's FIFO hands the
/// teacher's text to whoever reads it, and another user's file is theirs. Decided by ownership
/// alone, so that it holds for root too.
bool mayUseInSharedFolder(uint folderMode, uint entryOwner, uint user);

/// Why files cannot go into `folder`, naming the culprit: "文件夹“…”不存在。" for the first folder
/// on the way that is not there, "“…”是一个文件，不是文件夹。" for a file in a folder's place; ""
/// when every name on the way is a folder (whether it takes files is for the writing to say).
QString folderProblem(const QString &folder);

/// The reason for an error number, as FileErrorReason::fromErrno gives it.
QString systemErrorText(int error);

} // namespace FileSave
