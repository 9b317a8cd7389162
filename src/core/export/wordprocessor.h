#pragma once

#include "core/platform/libreoffice.h"
#include "core/platform/result.h"

#include <QString>

class CommentDocument;

/// Handing the class's comments to the word processor (LibreOffice Writer): the colon-style
/// text goes into an ODF text document in a private temporary folder, Writer is started on it,
/// and the same text is put on the clipboard.
namespace WordProcessor {

/// The program started for the word processor, looked up on PATH.
inline const QString Program = LibreOffice::Program;

/// Hand-over folders older than this many seconds are removed at the next hand-over.
inline constexpr qint64 MaxHandOverAge = 24 * 60 * 60;

/// The name every hand-over folder starts with, in the temporary folder.
inline const QString FolderPrefix = QStringLiteral("qhsy-handover-");

/// Makes a new hand-over folder with a random name that only its owner may enter, removes the
/// user's hand-over folders older than a day, and writes an ODF text document holding the text
/// into the new folder. Returns the document's path, or the reason it failed.
Result<QString> writeHandOverDocument(const QString &text, const CommentDocument &document);

/// The arguments the word processor is started with for a document.
QStringList arguments(const QString &documentPath);

/// Starts the word processor, detached, on a document. Fails when it is not on PATH or cannot
/// be started.
Result<void> start(const QString &documentPath);

} // namespace WordProcessor
