#pragma once

#include "core/document/commentdocument.h"

#include "core/platform/result.h"

#include <QString>

/// Changes of the template every new comment file is made from (normal.pyn): its default
/// roster and its default teacher signature. Both rewrite the file atomically, so that a
/// failure leaves the old template exactly as it was.
namespace TemplateFile {

/// The header of a comment file: version line, "teacher=" line and the 12 font lines.
inline constexpr int HeaderLines = 14;

/// Replaces the template's roster with the document's names (no comments), keeping its first
/// 14 lines. Every slot with a name is stored, in slot order. Fails with the reason, in the
/// teacher's language, why the template could not be read or written.
Result<void> storeRoster(const QString &path, const CommentDocument &document);

/// Replaces the template's second line with "teacher=" + signature, keeping every other line.
Result<void> storeSignature(const QString &path, const QString &signature);

} // namespace TemplateFile
