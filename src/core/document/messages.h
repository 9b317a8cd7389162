#pragma once

#include <QString>

/// The texts shown to the teacher by opening, saving and closing comment files, and changing the roster:
/// message boxes, questions and prompts. A reason that follows a message is built where the failure is known.
namespace DocumentMessages {

inline const QString RejectionMessage =
    QStringLiteral("您选择的是非法的文件类型或是旧版本的文件！\r\n请选择其他文件或新建文件！");

/// Why a file could not be read: the path and the reason.
inline const QString UnreadableMessage = QStringLiteral("无法读取文件“%1”：%2");

inline const QString SaveQuestion = QStringLiteral("您刚才编辑的文件内容已修改，需要保存您的修改吗？");

/// After a failed save (the path, the reason).
inline const QString SaveFailedMessage =
    QStringLiteral("保存失败！无法写入文件“%1”：%2\r\n您的修改仍保留在窗口中。");

/// After a save that rewrote the marker (the marker, what it became, the students).
inline const QString MarkerRewrittenMessage = QStringLiteral(
    "以下学生的评语中含有本系统的保留标记“%1”，为保证文件能正确读回，保存时已改写为“%2”：\r\n%3");

/// After a file opened whose bytes were partly no text (the path, how many places).
inline const QString UnreadableBytesMessage =
    QStringLiteral("文件“%1”中有 %2 处无法识别的字节（不是 GBK 或 GB18030 编码的文字），已显示为“�”。\r\n"
                   "保存时这些地方将写成“�”，原来的字节无法恢复。如需保留原文件，请用“另存为”保存为新文件。");

/// After a class opened whose ratings file could be read only in part (the file, the problems).
inline const QString RatingsProblemsMessage =
    QStringLiteral("评价表“%1”中有些内容无法读取，其余的评价已读入：\r\n%2");
/// After the ratings file beside a class could not be read or written (the file, the reason).
/// After a class opened beside a ratings file that is a link or another user's file (the file).
inline const QString RatingsForeignMessage =
    QStringLiteral("评价表“%1”不是本班评语文件的主人存下的普通文件（可能是别人放进文件夹的文件或链接），"
                   "为了安全，没有读取它，本班的评价暂时是空白的。\r\n"
                   "如果确信这份评价表可靠，可以在“评价表”窗口里点“导入”读入它。");
inline const QString RatingsUnreadableMessage = QStringLiteral("无法读取评价表“%1”：%2");
inline const QString RatingsNotWrittenMessage = QStringLiteral("评语已保存，但评价表“%1”无法写入：%2");

/// Shown when a 101st student is to be added.
inline const QString FullMessage = QStringLiteral("每个文件中最多只能有100个学生，不能再添加学生了！");

/// After an import that left out the names past the 100th student.
inline const QString DroppedMessage =
    QStringLiteral("每个文件中最多只能有100个学生，系统已经自动略去序号100以后的学生。");

/// Why an empty list (of names, of stock comments) is refused (FailureKind::Empty).
inline const QString EmptyListMessage = QStringLiteral("不能导入一个空的列表！");

/// After a failed import (of names, of stock comments); the reason follows.
inline const QString ImportFailedMessage = QStringLiteral("导入失败！");

/// The title of the recovery offer at start.
inline const QString RecoveryTitle = QStringLiteral("恢复未保存的评语");

/// The recovery offer (the file, the time).
inline const QString RecoveryQuestion =
    QStringLiteral("发现上次未保存的评语，可能是程序没有正常退出。\r\n\r\n文件：%1\r\n保存时间：%2\r\n\r\n"
                   "选择“是”恢复这些评语，“否”丢弃它们，“取消”下次启动时再决定。");

/// Added to the recovery offer when the same file has more copies than are offered (how many).
inline const QString RecoveryOthersNote =
    QStringLiteral("\r\n\r\n此文件另有 %1 份较早的恢复副本未列出，它们仍保留在恢复文件夹中。");

/// After recovering a copy whose lock could not be taken (a full disk): it was opened as a new
/// file and left in place.
inline const QString RecoveredReadOnlyMessage =
    QStringLiteral("无法锁定恢复副本（磁盘可能已满），恢复的评语已作为新文件打开，恢复副本仍保留在原处。"
                   "\r\n请用“另存为”把它们保存到有空间的位置。");

/// After recovering, when the original is not one of the teacher's own files (the file).
inline const QString RecoveredOutsideOwnFilesMessage =
    QStringLiteral("文件“%1”不是您自己的文件（它属于其他用户，或所在文件夹其他用户可以写入）。"
                   "为安全起见，保存时请在“另存为”中选择位置。");

/// After recovering, when the original file changed after the copy was made (the file).
inline const QString RecoveredOverChangedFileMessage =
    QStringLiteral("文件“%1”在恢复副本保存之后又被修改过。为免覆盖，请用“另存为”把恢复的评语保存为新文件。");

/// Once a run, when no recovery copy can be written (the reason).
inline const QString RecoveryUnavailableMessage = QStringLiteral(
    "无法保存恢复副本：%1\r\n程序意外退出时，未保存的评语将无法恢复。您可以继续编辑，请记得及时保存。");

/// A save dialog's choice that would replace the open class's own file (the file).
inline const QString SaveOverOwnClassMessage =
    QStringLiteral("“%1”是当前打开的班级的评语文件，不能写到这里，以免评语被覆盖。\r\n请另选一个文件名。");

/// A save dialog's choice that is a comment file or has a comment file's name (the file).
inline const QString SaveOverCommentFileMessage =
    QStringLiteral("“%1”是评语文件（或带有评语文件的扩展名 .py、.pyn），不能写到这里，以免评语被覆盖。\r\n"
                   "请另选一个文件名。");

/// A class file of more students than a class may have (the file, how many): refused whole, so
/// that no student is dropped, and nothing is ever saved over it.
inline const QString TooManyStudentsMessage =
    QStringLiteral("文件“%1”中有 %2 名学生，本程序一个班最多 100 名。为免丢下学生，没有读入这个文件；"
                   "请先把它分成每个不超过 100 名学生的几个文件。");

} // namespace DocumentMessages
