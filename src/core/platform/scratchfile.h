#pragma once

#include "core/platform/result.h"

#include <QString>
#include <QStringList>

/// The scratch file (ProgramFiles::scratch()), through which typed lists (student names,
/// stock comments) are split into lines: the text goes to the file in the program's encoding
/// and comes back line by line, exactly as a file read would give it. The file is left in
/// place, holding the last list.
namespace ScratchFile {

/// Writes the text followed by CR LF (any line break in it written as CR LF) to the scratch
/// file at `path` and reads its lines back, or says why, in the teacher's language,
/// the file could not be written or read.
Result<QStringList> roundTrip(const QString &path, QStringView text);

/// The lines roundTrip would give for the text, without writing the file.
QStringList lines(QStringView text);

} // namespace ScratchFile
