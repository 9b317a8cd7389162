#include "ui/editor/tuice_teacher.h"

#include "core/platform/platform.h"
#include "ui/editor/messages.h"

#include <QRadioButton>

tuice_teacher::tuice_teacher(Platform &platform, Actions actions, QWidget *parent)
    : GuessDialog(
          QStringLiteral("tuice_teacher"),
          QStringLiteral("系统检测到您在教师签名栏内按下了鼠标，您可能需要下列之一的功能："),
          QStringLiteral("您需要做什么？"),
          {{QStringLiteral("修改教师签名"),
            QStringLiteral(
                "想把教师签名换成您的大名？请选择这项功能！您也可以在“工具”→“设置教师签名”中找到该功能。")},
           {QStringLiteral("修改签名字体"), QStringLiteral("选择这项功能，您可以修改您的签名字体！")}},
          QStringLiteral("双击可以执行所选功能"), parent)
    , m_platform(platform)
    , m_actions(std::move(actions))
{}

void tuice_teacher::Command1Click()
{
    // This dialog goes away before the chosen function opens its own window or chooser.
    std::function<void()> action;
    if (Option1()->isChecked()) {
        action = m_actions.changeSignature;
    } else if (Option2()->isChecked()) {
        action = m_actions.changeFont;
    } else {
        m_platform.messageBox(EditorMessages::ChooseMessage, Platform::NoticeTitle, MsgIcon::Information,
                              MsgButtons::Ok);
        return;
    }
    close();
    if (action)
        action();
}
