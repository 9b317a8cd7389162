#include "ui/editor/teachersetup.h"

#include "core/document/session.h"
#include "core/document/templatefile.h"
#include "core/platform/fontsubstitution.h"
#include "core/platform/platform.h"
#include "core/app/messages.h"
#include "ui/editor/messages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

teachersetup::teachersetup(Session &session, Platform &platform, std::function<void()> refresh,
                           QWidget *parent)
    : QDialog(parent)
    , m_session(session)
    , m_platform(platform)
    , m_refresh(std::move(refresh))
{
    setObjectName(QStringLiteral("teachersetup"));
    setWindowTitle(QStringLiteral("设置教师签名"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    m_label2 = new QLabel(QStringLiteral("设置教师签名"), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setFont(FontSubstitution::toQFont(ItemFont{QStringLiteral("楷体_GB2312"), 16, true, false}));
    m_label2->setAlignment(Qt::AlignCenter);

    m_label1 = new QLabel(QStringLiteral("当前教师签名："), this);
    m_label1->setObjectName(QStringLiteral("Label1"));

    m_text = new QLineEdit(m_session.Document().TeacherSignature, this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setMinimumWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("汉")) * 14);
    m_label1->setBuddy(m_text);

    auto button = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    m_setDefault = button("Command1", QStringLiteral("设为默认"));
    m_setCurrent = button("Command2", QStringLiteral("设为当前"));
    m_cancel = button("Command3", QStringLiteral("取消"));
    m_setCurrent->setDefault(true); // Enter in the box sets the signature of this file

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_setDefault);
    buttons->addWidget(m_setCurrent);
    buttons->addWidget(m_cancel);

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_label2, 0, 0, 1, 2);
    grid->setRowMinimumHeight(1, QFontMetrics(font()).lineSpacing() / 2);
    grid->addWidget(m_label1, 2, 0);
    grid->addWidget(m_text, 2, 1);
    grid->setRowMinimumHeight(3, QFontMetrics(font()).lineSpacing() / 2);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    connect(m_setDefault, &QPushButton::clicked, this, &teachersetup::Command1Click);
    connect(m_setCurrent, &QPushButton::clicked, this, &teachersetup::Command2Click);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
}

QString teachersetup::defaultQuestion(const QString &signature)
{
    return QStringLiteral("是否把“") + signature + QStringLiteral("”设置为新建文件时系统默认的教师签名？");
}

void teachersetup::Command1Click()
{
    const QString signature = m_text->text();
    if (m_platform.messageBox(defaultQuestion(signature), Platform::QuestionTitle, MsgIcon::Question,
                              MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    const Result<void> stored = TemplateFile::storeSignature(m_session.Files().templateFile(), signature);
    if (!stored) {
        m_platform.messageBox(EditorMessages::DefaultSignatureFailedMessage + stored.error(),
                              Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    // The default is stored; the open file takes the signature as well.
    Command2Click();
}

void teachersetup::Command2Click()
{
    // A changed signature is a change of the file: closing it must ask whether to save.
    m_session.setTeacherSignature(m_text->text());
    if (m_refresh)
        m_refresh();
    m_platform.messageBox(AppMessages::DoneMessage, Platform::NoticeTitle, MsgIcon::Information,
                          MsgButtons::Ok);
    close();
}
