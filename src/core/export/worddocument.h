#pragma once

#include "core/platform/result.h"

#include <QByteArray>
#include <QString>

class CommentDocument;
class QTextCharFormat;
class QTextDocument;
struct ItemFont;

/// The class as a word-processor document: one page per student with the name line, the
/// comment and the signature, each in the document's font for it.
namespace WordDocument {

/// Lays the class out in `text` (empty before): per student the name line, one paragraph per
/// line of the comment and the signature set right, every student after the first beginning a
/// new page.
void layOut(const CommentDocument &document, QTextDocument &text);

/// The document as OpenDocument text (.odt), every student after the first on a new page.
QByteArray odt(const CommentDocument &document);

/// Any laid-out text as OpenDocument text; empty when Qt's writer fails.
QByteArray odf(const QTextDocument &text);

/// Sets a text in the installed face `font` is shown with here (what Qt's ODF writer reads),
/// so that a word processor shows Chinese text in a face that has it.
void setShownFamily(QTextCharFormat &format, const ItemFont &font);

/// Writes the document to `path`: OpenDocument text for ".odt", otherwise Word (.docx),
/// converted from the OpenDocument text by LibreOffice (soffice) in a private folder. Fails
/// with what is missing when there is no LibreOffice for a .docx, or why the file could not be
/// written; the old file is then left as it was. Written with the permission bits of the class
/// file `classPath` when there is one.
Result<void> write(const QString &path, const CommentDocument &document, const QString &classPath = {});

} // namespace WordDocument
