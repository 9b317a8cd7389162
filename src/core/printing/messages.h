#pragma once

#include <QString>

/// The texts shown to the teacher by the print window: setup, preview, printing and PDF output: message
/// boxes, questions and prompts. A reason that follows a message is built where the failure is known.
namespace PrintMessages {

inline const QString UnknownSchemeMessage = QStringLiteral("本功能暂未开通！");

inline const QString SavedMessage = QStringLiteral("成功保存了您的修改！");

inline const QString NewSchemePrompt =
    QStringLiteral("请输入新方案名\r\n\r\n您输入的内容可能显示为乱码，这不影响使用。");

/// File filter of the PDF save dialog.
inline const QString PdfFilter = QStringLiteral("PDF文件|*.pdf");

inline const QString PdfFailedMessage = QStringLiteral("生成PDF文件失败！");

/// The path of the file written.
inline const QString PdfWrittenMessage = QStringLiteral("已生成PDF文件“%1”。");

/// When 打印 or 打印当前 finds no printer to print on. It names the File menu's command, which
/// every mode of the print window can reach.
inline const QString NoPrinterMessage = QStringLiteral(
    "没有找到可以使用的打印机，无法打印。\r\n"
    "请在系统设置的“打印机”中添加一台打印机；或者用“文件”菜单的“导出为PDF文件...”把全班的评语存为一个"
    "PDF文件，再到别的电脑或打印店打印。");

inline const QString StopQuestion = QStringLiteral("确实要取消所有打印作业吗？");

inline const QString PrintFailedMessage = QStringLiteral("打印失败！");

/// Before a run that includes students whose comment is empty (how many).
inline const QString EmptyCommentsQuestion = QStringLiteral("有 %1 名学生的评语还是空的，要打印他们吗？");

/// Before a run that would print comments running past their box (how many students).
inline const QString PastBoxQuestion = QStringLiteral("%1 名学生的评语超出打印区域，仍要打印吗？");

/// The print panel's warning before a run: how many students, and their names.
inline const QString PastBoxWarning = QStringLiteral("%1 名学生的评语超出打印区域：%2");

/// The warning's tip (the scheme's name), followed by a line for each student.
inline const QString PastBoxTip =
    QStringLiteral("按打印方案“%1”排版，下面这些学生的评语超出了打印区域，打印出来会压住签名或印不出来：");

/// Stands for a student without a name in the warning (list position).
inline const QString PastBoxUnnamed = QStringLiteral("第%1名");

/// A line of the tip: the student's name and how far the comment runs over.
inline const QString PastBoxTipLine = QStringLiteral("%1：%2");

/// When the range holds no student to print.
inline const QString NobodyToPrintMessage = QStringLiteral("所选的打印范围内没有可以打印的学生。");

/// After a run (pages, printer).
inline const QString PrintedMessage = QStringLiteral("已将 %1 页送到打印机“%2”。");

/// After a stopped run (pages, printer).
inline const QString StoppedMessage = QStringLiteral("打印已停止。已送到打印机“%2”的有 %1 页。");

inline const QString FirstPageMessage = QStringLiteral("已是最前一页！");

inline const QString LastPageMessage = QStringLiteral("已是最后一页！");

/// Before 打印设置 on a student without a comment.
inline const QString EmptyCommentQuestion =
    QStringLiteral("当前学生没有任何评语信息，此时进行打印设置将无法看到具体效果，建议您先输入一些内容再进行"
                   "打印设置。") +
    QStringLiteral("\r\n\r\n需要返回评语编辑界面吗？");

/// When the scheme file lists no scheme at all.
inline const QString NoSchemeMessage =
    QStringLiteral("打印方案文件中没有任何方案，请用“新方案...”建立一个。");

} // namespace PrintMessages
