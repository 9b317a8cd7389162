#include "ui/editor/nostudent.h"

#include <QPointer>
#include <QRadioButton>

nostudent::nostudent(Actions actions, QWidget *parent)
    : GuessDialog(
          QStringLiteral("nostudent"),
          QStringLiteral("系统检测到当前文件中没有任何学生或评语的信息，您可能需要下列之一的功能："),
          QStringLiteral("您需要做什么"),
          {{QStringLiteral("导入学生名单"),
            QStringLiteral("如果您是第一次启动系统，或者您还没有任何学生资料，请选择该功能。")},
           {QStringLiteral("新建文件"),
            QStringLiteral(
                "如果您的系统中已经保存了一些学生的资料，您只需新建文件就可以把这些资料导入进来。")},
           {QStringLiteral("打开文件"),
            QStringLiteral(
                "您还可以通过打开其他评语文件来获取其中的学生资料，您甚至可以把这些资料保存到您的系统中。")}},
          QStringLiteral("双击即可执行所选功能"), parent)
    , m_actions(std::move(actions))
{}

void nostudent::Command1Click()
{
    // The action may close or rebuild the main window's children; the guard tells whether this
    // dialog is still there to be closed.
    QPointer<nostudent> self(this);
    if (Option1()->isChecked()) {
        if (auto action = m_actions.importNames)
            action();
    } else if (Option2()->isChecked()) {
        if (auto action = m_actions.newDocument)
            action();
    } else if (Option3()->isChecked()) {
        auto action = m_actions.openDocument;
        if (action && !action())
            return; // the teacher cancelled the open dialog: offer the choice again
    }
    if (self)
        close();
}
