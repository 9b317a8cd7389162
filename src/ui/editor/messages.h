#pragma once

#include <QString>

/// The texts shown to the teacher by the editor: its cards, the student list and the editing dialogs: message
/// boxes, questions and prompts. A reason that follows a message is built where the failure is known.
namespace EditorMessages {

inline const QString FormatNotice =
    QStringLiteral("系统将把每行文字信息识别为一个学生的姓名，请确认您的文件是按此格式组织的！");

inline const QString ClearQuestion = QStringLiteral("您确认要清空正在导入的学生列表吗？");

inline const QString ChooseMessage = QStringLiteral("请选择一项功能！");

inline const QString NoStudentMessage = QStringLiteral("没有任何学生或评语信息时不能执行该功能！");

inline const QString NoSelectionMessage =
    QStringLiteral("您似乎想调出有关学生列表的快捷菜单，请先选择一名学生再右击！如果你的学生列表为空，请"
                   "选择“工具”“导入学生名单”。");

inline const QString NothingToCopyMessage = QStringLiteral("您还没有选定任何可复制的内容！");

inline const QString NothingToCutMessage = QStringLiteral("您还没有选定任何可剪切的内容！");

inline const QString WhereToPasteMessage = QStringLiteral("您想把剪贴板中的内容粘贴到哪儿？请用鼠标定位！");

/// After the default signature could not be stored; the reason follows.
inline const QString DefaultSignatureFailedMessage = QStringLiteral("设置默认签名失败！");

} // namespace EditorMessages
