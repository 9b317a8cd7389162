#pragma once

#include <QFileDevice>
#include <QString>

/// Why a file could not be read or written, as a short reason in the teacher's language
/// ("文件不存在", "没有权限", "磁盘已满", …). Qt's and the C library's own texts are English
/// whenever no translation is loaded, so they never reach a message as they are.
namespace FileErrorReason {

/// The reason for a system error number (errno); a number without one of its own gets a
/// general reason with the number, never an English text.
QString fromErrno(int error);

/// The reason for Qt's kind of file error, for when the system's error is not known.
QString fromKind(QFileDevice::FileError error);

/// The reason for an error text Qt made from a system error (QTemporaryDir, QIODevice): the
/// number behind it where the text is one Qt makes for a number, a text already in the
/// teacher's language as it is, and a general reason for any other text.
QString fromText(const QString &qtText);

/// The reason a file device failed: the system error behind its text, else its kind.
QString of(const QFileDevice &device);

/// The reason any device failed: as for a file device, else from its text.
QString of(const QIODevice &device);

} // namespace FileErrorReason
