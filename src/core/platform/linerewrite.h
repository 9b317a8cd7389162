#pragma once

#include "core/platform/result.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

/// Rewriting a line-based text file of the program (comment library, print schemes) by rules
/// that keep most lines and add or change a few. The file is read and decoded once; a rule
/// feeds a sink with the lines of the new file, either "keep line i" or "add this text".
namespace LineRewrite {

/// A file read once: its bytes, its text and the lines as views into the text (CR LF, CR or
/// LF end a line).
struct File
{
    QByteArray bytes;
    QString text;
    QList<QStringView> lines;
};

/// Reads and splits a file, or says why it cannot be read. The lines are views into the text:
/// moving the File keeps them valid, and they live as long as it does.
Result<File> read(const QString &path);

/// The lines the text gives, found in the bytes: CR and LF never occur inside a GB18030
/// character, so the breaks are the same. Empty when the counts still differ.
QList<QByteArrayView> byteLinesOf(const QByteArray &bytes, qsizetype lineCount);

/// Views of a list's lines (valid while the list lives).
QList<QStringView> viewsOf(const QStringList &lines);

/// Collects the new lines as a list; kept lines are shared with the input list.
class ListSink
{
public:
    explicit ListSink(const QStringList &input)
        : m_input(input)
    {
        m_lines.reserve(input.size() + 4);
    }
    void keep(qsizetype i) { m_lines.append(m_input.at(i)); }
    void add(const QString &line) { m_lines.append(line); }
    QStringList take() { return std::move(m_lines); }

private:
    const QStringList &m_input;
    QStringList m_lines;
};

/// Builds the new file's bytes, every line followed by CR LF. A kept line is copied as the
/// bytes it had in the file, so most of a large file is never encoded again (and bytes that
/// are not valid GB18030 survive on lines no rule touched); new lines are encoded in runs.
class FileSink
{
public:
    explicit FileSink(const File &file);
    void keep(qsizetype i);
    void add(const QString &line);
    QByteArray take();

private:
    void append(QStringView line);
    void flush();

    const File &m_file;
    /// Where each line lies in the old bytes; empty when they could not be matched to the
    /// text's lines (a damaged file): kept lines are then encoded again.
    QList<QByteArrayView> m_byteLines;
    QByteArray m_bytes;
    QString m_pending;
};

} // namespace LineRewrite
