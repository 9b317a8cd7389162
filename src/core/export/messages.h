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

} // namespace ExportMessages
