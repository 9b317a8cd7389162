#pragma once

#include <QString>

/// The texts shown to the teacher by the start-up and the main window's student commands: message boxes,
/// questions and prompts. A reason that follows a message is built where the failure is known.
namespace AppMessages {

inline const QString SelectFirstMessage = QStringLiteral("请选定一名学生后再选择此功能！");

inline const QString DoneMessage = QStringLiteral("设置成功！");

inline const QString MissingFilesMessage = QStringLiteral("必须的系统文件丢失！请重新安装本系统！");

inline const QString AddStudentPrompt = QStringLiteral("请输入需要添加的学生的姓名：");

inline const QString RenamePrompt = QStringLiteral("请输入该学生的新姓名：");

inline const QString DeleteAllQuestion = QStringLiteral("您确认要删除当前所有学生的信息吗？");

/// After a failed setting; the reason follows.
inline const QString SettingFailedMessage = QStringLiteral("设置失败！");

} // namespace AppMessages
