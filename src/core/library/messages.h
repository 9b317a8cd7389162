#pragma once

#include <QString>

/// The texts shown to the teacher by the stock-comment library: its window, its commands and batch import:
/// message boxes, questions and prompts. A reason that follows a message is built where the failure is known.
namespace LibraryMessages {

/// Told after a change that wrote a comment's marker as EscapedMarker.
inline const QString MarkerRewrittenMessage = QStringLiteral("评语中的“*!*”已改为“*！*”。");

/// Shown when the library file cannot be read.
inline const QString CorruptMessage = QStringLiteral("评语库文件被破坏！请重新安装本系统！");

inline const QString PlaceMessage = QStringLiteral("您想把这句评语添加到哪儿？请用鼠标定位！");

inline const QString SelectCategoryMessage = QStringLiteral("请选择一个类别再执行该功能！");

inline const QString SelectCommentToDeleteMessage = QStringLiteral("请选择一条评语再执行该功能！");

inline const QString SelectCommentToEditMessage = QStringLiteral("请选择一条再执行该功能！");

inline const QString EmptyTextMessage = QStringLiteral("内容不能为空！");

/// After a library change could not be written; the reason follows.
inline const QString SaveFailedMessage = QStringLiteral("保存评语库失败！");

} // namespace LibraryMessages
