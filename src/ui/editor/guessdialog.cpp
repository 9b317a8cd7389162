#include "ui/editor/guessdialog.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

GuessDialog::GuessDialog(const QString &objectName, const QString &introduction, const QString &question,
                         const QList<Choice> &choices, const QString &footer, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(QStringLiteral("智能推测"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(QStringLiteral("汉")) * 28;
    const auto label = [this, textWidth](const QString &text, QWidget *owner) {
        auto *l = new QLabel(text, owner);
        l->setObjectName(QStringLiteral("Label%1").arg(m_labels.size() + 1));
        l->setWordWrap(true);
        l->setMinimumWidth(textWidth);
        m_labels.append(l);
        return l;
    };

    QLabel *intro = label(introduction, this);

    m_frame = new QGroupBox(question, this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    auto *frameLayout = new QVBoxLayout(m_frame);
    // Explanations start under the option's text, not under its circle.
    const int indent = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                       style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    // One group: choosing one option drops the other; none is chosen when the dialog opens.
    auto *group = new QButtonGroup(this);
    for (const Choice &choice : choices) {
        auto *option = new QRadioButton(choice.option, m_frame);
        option->setObjectName(QStringLiteral("Option%1").arg(m_options.size() + 1));
        option->installEventFilter(this);
        group->addButton(option);
        QLabel *explanation = label(choice.explanation, m_frame);
        explanation->setContentsMargins(indent, 0, 0, 0);
        if (!m_options.isEmpty())
            frameLayout->addSpacing(metrics.lineSpacing() / 2);
        m_options.append(option);
        frameLayout->addWidget(option, 0, Qt::AlignLeft); // clickable only where it shows
        frameLayout->addWidget(explanation);
    }

    QLabel *footing = label(footer, this);
    footing->setMinimumWidth(0);

    m_run = new QPushButton(QStringLiteral("执行"), this);
    m_run->setObjectName(QStringLiteral("Command1"));
    m_run->setDefault(true);
    m_run->setEnabled(false); // nothing to run until an option is chosen
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("Command2"));
    m_cancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(footing, 1);
    buttons->addWidget(m_run);
    buttons->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_frame);
    layout->addLayout(buttons);

    connect(group, &QButtonGroup::buttonToggled, this,
            [this, group] { m_run->setEnabled(group->checkedButton() != nullptr); });
    connect(m_run, &QPushButton::clicked, this, [this] { Command1Click(); });
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
}

bool GuessDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        // An arrow key chooses the option it moves to, even while none is chosen (Qt would only
        // move the focus then).
        const int key = static_cast<QKeyEvent *>(event)->key();
        const int step = key == Qt::Key_Down || key == Qt::Key_Right ? 1
                         : key == Qt::Key_Up || key == Qt::Key_Left  ? -1
                                                                     : 0;
        const int at = int(m_options.indexOf(qobject_cast<QRadioButton *>(watched)));
        if (step != 0 && at >= 0) {
            QRadioButton *next = m_options.at(std::clamp(at + step, 0, int(m_options.size()) - 1));
            next->setChecked(true);
            next->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (QRadioButton *option : std::as_const(m_options)) {
            if (watched == option) {
                option->setChecked(true);
                Command1Click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
