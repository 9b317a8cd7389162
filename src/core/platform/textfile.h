#pragma once

#include "core/platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QFile;
class QIODevice;

/// Reading and writing the program's text files: GB18030 (a superset of GBK, so every GBK file
/// reads and writes unchanged and characters outside GBK survive), lines ended by CR LF, every
/// write atomic.
namespace TextFile {

/// Files larger than this are refused instead of being read into memory.
inline constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

/// The line break every writer puts after a line.
inline const QString CrLf = QStringLiteral("\r\n");

/// Bytes in the program's file encoding → text. A byte 0x80 standing alone is read as "€", as
/// the Windows code page 936 has it. Every other byte sequence that is no GB18030 character
/// becomes U+FFFD; *unreadable (when given) receives how many places were replaced.
QString decode(const QByteArray &bytes, qsizetype *unreadable = nullptr);

/// Text → bytes in the program's file encoding. "€" is written in GB18030's form A2 E3, which
/// every GB18030 reader takes (decode reads both it and the Windows byte 0x80 as "€").
QByteArray encode(QStringView text);

/// Reads the lines of a text one at a time, as views into it (valid while the text lives), so a
/// file of millions of short lines needs no list of them.
class LineReader
{
public:
    enum Breaks {
        CrBreaks,  ///< CR LF or a lone CR ends a line; a lone LF belongs to the line
        AnyBreaks, ///< CR LF, a lone CR or a lone LF ends a line
    };
    explicit LineReader(QStringView text, Breaks breaks = CrBreaks)
        : m_text(text)
        , m_breaks(breaks)
    {}
    /// The next line in *line; false after the last one. The end of the text ends the last line
    /// (no empty line is made after a final line break).
    bool next(QStringView *line);

private:
    QStringView m_text;
    Breaks m_breaks;
    qsizetype m_start = 0;
};

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

/// Reads all bytes of a device (at most MaxFileSize).
Result<QByteArray> readAll(QIODevice *device);

/// Why a path exists but is no file to read (a folder, a pipe, a device, a socket); empty for a
/// regular file, a link to one, and a path that does not exist. Nothing is opened.
QString notARegularFile(const QString &path);

/// Opens a regular file for reading. A pipe, a device or a socket is refused, never waited on.
Result<void> openForReading(QFile &file, const QString &path);

/// Reads all bytes of a file (at most MaxFileSize); only a regular file is read.
Result<QByteArray> readAll(const QString &path);

/// Whether bytes of this size may be saved as one of the program's files: the readers refuse
/// anything above MaxFileSize, so a larger file could never be opened again.
Result<void> fitsReadLimit(qint64 size);

/// Reads a text file and splits it into lines.
Result<QStringList> readLines(const QString &path);

/// Writes bytes to a file through the program's one save path (FileSave::save): a regular file
/// is replaced atomically, either the whole new content is in place or the old file is
/// untouched.
Result<void> saveAtomically(const QString &path, const QByteArray &bytes);

/// Encodes the text and writes it atomically; with a `model` file, with that file's permission
/// bits (FileSave::saveLike).
Result<void> writeText(const QString &path, QStringView text, const QString &model = {});

/// Encodes the lines, each followed by CR LF, and writes them atomically.
Result<void> writeLines(const QString &path, const QStringList &lines);

} // namespace TextFile
