#pragma once

#include "core/platform/result.h"

#include <QString>

/// LibreOffice as a converter between document formats.
namespace LibreOffice {

/// The program, looked up on PATH.
inline const QString Program = QStringLiteral("soffice");

/// Converts `source` to `format` (a file extension: "docx", "xlsx") with LibreOffice, headless,
/// with a profile of its own in `folder` (so that a running LibreOffice of the teacher's is
/// neither used nor disturbed), writing the result into `folder`. Returns the converted file.
/// Fails as FailureKind::NotFound without LibreOffice; otherwise with LibreOffice's own words
/// (a conversion that runs two minutes has hung).
Result<QString> convert(const QString &source, const QString &format, const QString &folder);

} // namespace LibreOffice
