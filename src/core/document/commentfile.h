#pragma once

#include "core/document/commentdocument.h"
#include "core/document/messages.h"
#include "core/platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

/// The comment-file format (also the template normal.pyn): a header line, the signature, the
/// twelve font lines and one block per student, in GB18030 with CR LF line ends.
namespace CommentFile {

inline const QString Header = QStringLiteral("版本=标准版v1.0");
inline const QString OldHeader = QStringLiteral("版本=标准版v0.1 beta α");
/// Starts a name line; alone on a line it ends a student block.
inline const QString Marker = QStringLiteral("*!*");
/// What the writer puts in place of the marker inside comment text, so that the text can
/// never be read back as a name line or a terminator.
inline const QString EscapedMarker = QStringLiteral("*！*");

/// What a read learned besides the document.
struct ReadDetails
{
    /// Places whose bytes are no GB18030 text; they were read as U+FFFD, so the next save
    /// replaces them for good.
    qsizetype unreadableBytes = 0;
    /// The students the file holds. Only the first CommentDocument::MaxStudents are read into
    /// the document: a caller refuses a file of more (TooManyStudentsMessage), so that none is
    /// dropped without a word.
    qsizetype students = 0;
};

/// Reads file content into the document. Content that is no comment file (a wrong header, too
/// few lines) fails with DocumentMessages::RejectionMessage; the roster is then emptied, signature and fonts
/// kept.
Result<ReadDetails> parse(const QByteArray &bytes, CommentDocument &document);
/// Reads a device into the document; a device that cannot be read fails with its reason and
/// leaves the document unchanged.
Result<ReadDetails> read(QIODevice *device, CommentDocument &document);
/// Reads a file into the document; a file that cannot be read fails with DocumentMessages::UnreadableMessage
/// (the path and the reason) and leaves the document unchanged.
Result<ReadDetails> read(const QString &path, CommentDocument &document);

/// The size as the file writes it: single precision, at most 7 significant digits, no
/// exponent, no trailing zeros ("9", "10.5").
QString formatFontSize(double size);

/// The whole file text of a document. The fonts are the ones shown on screen (equal to the
/// document's ItemFonts once the views are refreshed). Names of students whose comment held
/// the marker, which was written as EscapedMarker, are added to *escaped.
QString compose(const CommentDocument &document, const ItemFonts &fonts, QStringList *escaped = nullptr);

/// Writes the document to a device. A document too large to be read back is refused. The value
/// names the students whose comment held the marker (written as EscapedMarker).
Result<QStringList> write(QIODevice *device, const CommentDocument &document, const ItemFonts &fonts);
/// Writes the document to a file atomically: on failure, and when the file would be too large
/// to be read back, the old file is left as it was. The value is as for the device.
Result<QStringList> write(const QString &path, const CommentDocument &document, const ItemFonts &fonts);

} // namespace CommentFile
