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
/// the kernel's own protection of links would allow it (mayUseInSharedFolder).
Result<void> save(const QString &path, const QByteArray &bytes);

/// Writes all bytes into an open descriptor (standard output, a pipe, a device).
Result<void> writeToDescriptor(int fd, const QByteArray &bytes);

/// Whether a symbolic link may be followed, or a FIFO or a device written into: always outside a
/// folder that is both sticky and writable by everyone (like /tmp); inside one only when it
/// belongs to the user or to the folder's owner. In such a folder another user's link could
/// point anywhere (at one of the teacher's own files), and another user's FIFO hands the
/// teacher's text to whoever reads it.
bool mayUseInSharedFolder(uint folderMode, uint folderOwner, uint entryOwner, uint user);

/// The reason for an error number, as FileErrorReason::fromErrno gives it.
QString systemErrorText(int error);

} // namespace FileSave
