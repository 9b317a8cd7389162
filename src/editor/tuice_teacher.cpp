#include "editor/tuice_teacher.h"

#include "platform/platform.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

tuice_teacher::tuice_teacher(Platform &platform, Actions actions, QWidget *parent)
    : QDialog(parent)
    , m_platform(platform)
    , m_actions(std::move(actions))
{
    setObjectName(QStringLiteral("tuice_teacher"));
    setWindowTitle(QStringLiteral("智能推测"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(QStringLiteral("汉")) * 28;

    auto label = [this, textWidth](int index, const QString &text, QWidget *owner) {
        auto *l = new QLabel(text, owner);
        l->setObjectName(QStringLiteral("Label%1").arg(index + 1));
        l->setWordWrap(true);
        l->setMinimumWidth(textWidth);
        m_labels[index] = l;
        return l;
    };

    label(0, QStringLiteral("系统检测到您在教师签名栏内按下了鼠标，您可能需要下列之一的功能："), this);

    m_frame = new QGroupBox(QStringLiteral("您需要做什么？"), this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    auto *frameLayout = new QVBoxLayout(m_frame);
    // Explanations start under the option's text, not under its circle.
    const int indent = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)
                       + style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    // One group: choosing one option drops the other; none is chosen when the dialog opens.
    auto *group = new QButtonGroup(this);
    const QString options[2] = {QStringLiteral("修改教师签名"), QStringLiteral("修改签名字体")};
    const QString explanations[2] = {
        QStringLiteral("想把教师签名换成您的大名？请选择这项功能！您也可以在“工具”→“设置教师签名”中找到该功能。"),
        QStringLiteral("选择这项功能，您可以修改您的签名字体！"),
    };
    for (int i = 0; i < 2; ++i) {
        auto *option = new QRadioButton(options[i], m_frame);
        option->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        option->installEventFilter(this);
        group->addButton(option);
        m_options[i] = option;
        QLabel *explanation = label(i + 1, explanations[i], m_frame);
        explanation->setContentsMargins(indent, 0, 0, 0);
        if (i > 0)
            frameLayout->addSpacing(metrics.lineSpacing() / 2);
        frameLayout->addWidget(option, 0, Qt::AlignLeft);   // clickable only where it shows
        frameLayout->addWidget(explanation);
    }

    label(3, QStringLiteral("双击可以执行所选功能"), this);
    m_labels[3]->setMinimumWidth(0);

    m_run = new QPushButton(QStringLiteral("执行"), this);
    m_run->setObjectName(QStringLiteral("Command1"));
    m_run->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("Command2"));
    m_cancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_labels[3], 1);
    buttons->addWidget(m_run);
    buttons->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_labels[0]);
    layout->addWidget(m_frame);
    layout->addLayout(buttons);

    connect(m_run, &QPushButton::clicked, this, &tuice_teacher::Command1Click);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
}

void tuice_teacher::Command1Click()
{
    // This dialog goes away before the chosen function opens its own window or chooser.
    std::function<void()> action;
    if (m_options[0]->isChecked()) {
        action = m_actions.changeSignature;
    } else if (m_options[1]->isChecked()) {
        action = m_actions.changeFont;
    } else {
        m_platform.messageBox(ChooseMessage, Platform::NoticeTitle, MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    close();
    if (action)
        action();
}

bool tuice_teacher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (QRadioButton *option : m_options) {
            if (watched == option) {
                option->setChecked(true);
                Command1Click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
