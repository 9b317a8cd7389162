#pragma once

#include "core/platform/result.h"

#include <QString>

class CommentDocument;

/// How a student's name line looks in an exported text: the bare name, or the name followed
/// by a full-width colon (the form handed to the word processor).
enum class NameLineStyle { Plain, Colon };

/// The class's comments as one text, every line ended by CR LF: the attribution line, an empty
/// line, the signature line and an empty line, then for each roster student (up to the first
/// slot without a name) the name line, the comment as it stands, the signature and an empty
/// line.
QString composeExportText(const CommentDocument &document, NameLineStyle style);

/// The content of an exported text file: the plain text with one more line break at the end.
QString exportFileText(const CommentDocument &document);

/// Writes the exported text file (GB18030, atomically), with the permission bits of the class
/// file `classPath` when there is one: an export is as private as its class.
Result<void> writeExportTextFile(const QString &path, const CommentDocument &document,
                                 const QString &classPath = {});
