#include "editor/nostudent.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

nostudent::nostudent(Actions actions, QWidget *parent)
    : QDialog(parent)
    , m_actions(std::move(actions))
{
    setObjectName(QStringLiteral("nostudent"));
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

    label(0, QStringLiteral("系统检测到当前文件中没有任何学生或评语的信息，您可能需要下列之一的功能："), this);

    m_frame = new QGroupBox(QStringLiteral("您需要做什么"), this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    auto *frameLayout = new QVBoxLayout(m_frame);
    // Explanations start under the option's text, not under its circle.
    const int indent = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)
                       + style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    // One group: choosing one option drops the other; none is chosen when the dialog opens.
    auto *group = new QButtonGroup(this);
    const QString options[3] = {QStringLiteral("导入学生名单"), QStringLiteral("新建文件"),
                                QStringLiteral("打开文件")};
    const QString explanations[3] = {
        QStringLiteral("如果您是第一次启动系统，或者您还没有任何学生资料，请选择该功能。"),
        QStringLiteral("如果您的系统中已经保存了一些学生的资料，您只需新建文件就可以把这些资料导入进来。"),
        QStringLiteral("您还可以通过打开其他评语文件来获取其中的学生资料，您甚至可以把这些资料保存到您的系统中。"),
    };
    for (int i = 0; i < 3; ++i) {
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

    label(4, QStringLiteral("双击即可执行所选功能"), this);

    m_run = new QPushButton(QStringLiteral("执行"), this);
    m_run->setObjectName(QStringLiteral("Command1"));
    m_run->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("Command2"));
    m_cancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_labels[4], 1);
    buttons->addWidget(m_run);
    buttons->addWidget(m_cancel);
    m_labels[4]->setMinimumWidth(0);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_labels[0]);
    layout->addWidget(m_frame);
    layout->addLayout(buttons);

    connect(m_run, &QPushButton::clicked, this, &nostudent::Command1Click);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
}

void nostudent::Command1Click()
{
    // The action may close or rebuild the main window's children; the guard tells whether this
    // dialog is still there to be closed.
    QPointer<nostudent> self(this);
    if (m_options[0]->isChecked()) {
        if (auto action = m_actions.importNames)
            action();
    } else if (m_options[1]->isChecked()) {
        if (auto action = m_actions.newDocument)
            action();
    } else if (m_options[2]->isChecked()) {
        auto action = m_actions.openDocument;
        if (action && !action())
            return;   // the teacher cancelled the open dialog: offer the choice again
    }
    if (self)
        close();
}

bool nostudent::eventFilter(QObject *watched, QEvent *event)
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
