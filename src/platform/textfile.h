#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

/// Reading and writing the program's text files: GB18030 (a superset of GBK, so every GBK file
/// reads and writes unchanged and characters outside GBK survive), lines ended by CR LF, every
/// write atomic.
namespace TextFile {

/// Files larger than this are refused instead of being read into memory.
inline constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

/// The line break every writer puts after a line.
inline const QString CrLf = QStringLiteral("\r\n");

/// Bytes in the program's file encoding → text. Invalid bytes become U+FFFD.
QString decode(const QByteArray &bytes);

/// Text → bytes in the program's file encoding.
QByteArray encode(QStringView text);

/// Splits text into lines: CR LF or a lone CR ends a line, a lone LF belongs to the line, and
/// the end of the text ends the last line (no empty line is made after a final line break).
QStringList splitLines(QStringView text);

/// The same lines as views into the text (valid while the text lives), without copying them.
QList<QStringView> splitLineViews(QStringView text);

/// Splits text where CR LF, a lone CR or a lone LF ends a line (for files people edit by hand on
/// any system); the end of the text ends the last line, as for splitLineViews.
QList<QStringView> splitLineViewsAnyBreak(QStringView text);

/// Joins lines, each followed by CR LF.
QString joinLines(const QStringList &lines);

/// Result of reading a whole file.
struct ReadResult
{
    bool ok = false;
    QByteArray bytes;
    QString error;   ///< why the file could not be read, in the teacher's language
};

/// Reads all bytes of a device (at most MaxFileSize).
ReadResult readAll(QIODevice *device);

/// Reads all bytes of a file (at most MaxFileSize).
ReadResult readAll(const QString &path);

/// Reads a text file and splits it into lines. Returns false with *error set on failure.
bool readLines(const QString &path, QStringList *lines, QString *error);

/// Writes bytes to a file through the program's one save path (FileSave::save): a regular file
/// is replaced atomically, either the whole new content is in place or the old file is
/// untouched. Returns an empty string on success, otherwise the reason.
QString saveAtomically(const QString &path, const QByteArray &bytes);

/// Encodes the text and writes it atomically. Returns an empty string or the reason.
QString writeText(const QString &path, QStringView text);

/// Encodes the lines, each followed by CR LF, and writes them atomically.
QString writeLines(const QString &path, const QStringList &lines);

} // namespace TextFile
