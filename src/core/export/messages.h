#pragma once

#include <QString>

/// The texts shown to the teacher by the export commands: message boxes, questions and prompts.
/// A reason that follows a message is built where the failure is known.
namespace ExportMessages {

/// When the exported text file cannot be written (the path, the reason).
inline const QString ExportFailedMessage = QStringLiteral("导出失败！无法写入文件“%1”：%2");

/// When the word processor cannot be given the comments; the reason follows on a new line.
inline const QString WordProcessorFailedMessage =
    QStringLiteral("创建Word对象失败，您的系统中可能没有安装Word！");

/// File filter of the Word export's save dialog.
inline const QString WordFilter = QStringLiteral("Word文档|*.docx|OpenDocument 文本|*.odt");

/// When the Word document cannot be written (the path, the reason).
inline const QString WordFailedMessage = QStringLiteral("导出失败！无法生成文档“%1”：%2");

/// After the Word document was written (the path).
inline const QString WordWrittenMessage = QStringLiteral("已生成文档“%1”。");

} // namespace ExportMessages
