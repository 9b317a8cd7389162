#pragma once

#include <QString>

class CommentDocument;
class Platform;

/// The export commands: they ask what they need through the platform seam, write with the
/// export writers and tell the teacher what went wrong. Neither changes the document or its
/// modified flag.
namespace ExportCommands {

/// File filter of the export's save dialog.
inline const QString TextFilter = QStringLiteral("文本文件|*.txt");

} // namespace ExportCommands

/// The export-to-text command: asks for a file name (proposing the class file's name, see
/// SaveLocation; classPath is empty for a class not saved yet) and writes the exported text there.
void exportToTextFile(const CommentDocument &document, Platform &platform,
                      const QString &classPath = QString());

/// The export-to-Word command: asks for a file name (.docx unless .odt is chosen) and writes the
/// class there, one page per student. The dialog proposes the class file's name, as above.
void exportToWordDocument(const CommentDocument &document, Platform &platform,
                          const QString &classPath = QString());

/// The open-in-word-processor command: hands the colon-style text to the word processor and
/// puts it on the clipboard.
void openInWordProcessor(const CommentDocument &document, Platform &platform);
