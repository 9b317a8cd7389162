#pragma once

#include "core/printing/pdfexport.h"

#include <QList>
#include <QString>

class CommentDocument;
class Platform;
class Session;
class TextMeasurer;
struct LayoutScheme;

/// The save-as-PDF commands: ask for a file name, write students of the class there as one PDF
/// (one page per student, with a scheme's layout and paper) and say where it went or why it failed.
namespace PdfCommand {

/// The pages of `students` (0-based, in that order) with the given scheme: what the print
/// window's "打印到PDF文件..." does with the students its range takes. The dialog proposes the
/// class file's name (classPath, empty for a class not saved yet) as a .pdf; a heading's "{班级}"
/// is that name without its suffix.
void saveClassPdf(const CommentDocument &document, const QList<int> &students, const LayoutScheme &scheme,
                  const TextMeasurer &measurer, Platform &platform, const QString &classPath = QString(),
                  const SheetOptions &sheets = {});

/// With the first scheme of the program folder's scheme file, the one the print window opens
/// with: what 文件 → "导出为PDF文件..." does, no printer needed.
void exportClassPdf(const Session &session, const TextMeasurer &measurer, Platform &platform);

} // namespace PdfCommand
