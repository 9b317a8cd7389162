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

/// When the exported text file cannot be written (the path, the reason).
inline const QString ExportFailedMessage = QStringLiteral("导出失败！无法写入文件“%1”：%2");

/// When the word processor cannot be given the comments; the reason follows on a new line.
inline const QString WordProcessorFailedMessage =
    QStringLiteral("创建Word对象失败，您的系统中可能没有安装Word！");

} // namespace ExportCommands

/// The export-to-text command: asks for a file name and writes the exported text there.
void exportToTextFile(const CommentDocument &document, Platform &platform);

/// The open-in-word-processor command: hands the colon-style text to the word processor and
/// puts it on the clipboard.
void openInWordProcessor(const CommentDocument &document, Platform &platform);
