#include "ui/editor/inputstudent.h"

#include "core/document/namelist.h"
#include "core/document/session.h"
#include "core/platform/libreoffice.h"
#include "core/platform/platform.h"
#include "core/document/messages.h"
#include "ui/editor/messages.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <memory>

inputstudent::inputstudent(Session &session, Platform &platform, std::function<void()> rosterChanged,
                           QWidget *parent)
    : QDialog(parent)
    , m_session(session)
    , m_platform(platform)
    , m_rosterChanged(std::move(rosterChanged))
{
    setObjectName(QStringLiteral("inputstudent"));
    setWindowTitle(QStringLiteral("导入学生名单"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setAccessibleName(QStringLiteral("学生名单"));
    m_text->setTabChangesFocus(true); // Tab goes on to the buttons: a name has no TAB in it
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap); // one line is one name
    const QFontMetrics metrics(font());
    m_text->setMinimumSize(metrics.horizontalAdvance(QStringLiteral("汉")) * 12, metrics.lineSpacing() * 16);

    m_frame = new QGroupBox(QStringLiteral("导入方式"), this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_add = new QRadioButton(QStringLiteral("添加"), m_frame);
    m_add->setObjectName(QStringLiteral("Option1"));
    m_add->setChecked(true);
    m_replace = new QRadioButton(QStringLiteral("替换"), m_frame);
    m_replace->setObjectName(QStringLiteral("Option2"));
    auto *frameLayout = new QVBoxLayout(m_frame);
    frameLayout->addWidget(m_add, 0, Qt::AlignLeft);
    frameLayout->addWidget(m_replace, 0, Qt::AlignLeft);

    auto button = [this, &metrics](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        // Some room around the longest caption, as a push button's text usually has.
        b->setMinimumWidth(b->sizeHint().width() + metrics.horizontalAdvance(QStringLiteral("汉")));
        return b;
    };
    m_load = button("Command5", QStringLiteral("从文件导入..."));
    m_clear = button("Command3", QStringLiteral("清  空"));
    m_cancel = button("Command2", QStringLiteral("取  消"));
    m_import = button("Command1", QStringLiteral("导  入"));
    m_import->setDefault(true);

    m_hint = new QLabel(InputHint, this);
    m_hint->setObjectName(QStringLiteral("Label1"));
    m_hint->setWordWrap(true);
    m_hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the longest hint, so that the dialog does not jump while the mouse moves.
    m_hint->setMinimumHeight(metrics.lineSpacing() * 3);

    auto *side = new QVBoxLayout;
    side->addWidget(m_frame);
    side->addSpacing(metrics.lineSpacing() / 2);
    side->addWidget(m_load);
    side->addWidget(m_clear);
    side->addStretch(1);
    side->addWidget(m_cancel);
    side->addWidget(m_import);

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_text, 0, 0);
    grid->addLayout(side, 0, 1);
    grid->addWidget(m_hint, 1, 0, 1, 2);
    grid->setColumnStretch(0, 1);

    connect(m_load, &QPushButton::clicked, this, &inputstudent::Command5Click);
    connect(m_clear, &QPushButton::clicked, this, &inputstudent::Command3Click);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(m_import, &QPushButton::clicked, this, &inputstudent::Command1Click);

    // The hint follows the mouse. Every control reports when the mouse enters it (moves over
    // a control without mouse tracking never reach the dialog), and the dialog, the list and the
    // two buttons with their own hint also report moves inside them.
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (QWidget *w : children)
        w->installEventFilter(this);
    installEventFilter(this);
    for (QWidget *w : {static_cast<QWidget *>(this), m_text->viewport(), static_cast<QWidget *>(m_clear),
                       static_cast<QWidget *>(m_load)})
        w->setMouseTracking(true);
}

const QString &inputstudent::hintFor(const QWidget *widget) const
{
    for (const QWidget *w = widget; w && w != this; w = w->parentWidget()) {
        if (w == m_text)
            return ListHint;
        if (w == m_clear)
            return ClearHint;
        if (w == m_load)
            return LoadHint;
    }
    return InputHint;
}

bool inputstudent::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        const QWidget *over = qobject_cast<QWidget *>(watched);
        if (watched == this && event->type() == QEvent::MouseMove) {
            // Moves a control ignores (a button's, for one) are passed on to the dialog: the
            // hint is the one of the control under the mouse.
            const QPoint pos = static_cast<QMouseEvent *>(event)->position().toPoint();
            if (QWidget *child = childAt(pos))
                over = child;
        }
        const QString &hint = hintFor(over);
        if (m_hint->text() != hint)
            m_hint->setText(hint);
    }
    return QDialog::eventFilter(watched, event);
}

void inputstudent::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event); // centres on the parent; the first show moves it again below
    if (m_placed)
        return;
    m_placed = true;
    m_hint->setText(InputHint);
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (!owner) {
        move(x(), 0);
        return;
    }
    const QRect area = owner->frameGeometry();
    move(area.left() + (area.width() - frameGeometry().width()) / 2, area.top());
}

void inputstudent::Command5Click()
{
    m_platform.messageBox(EditorMessages::FormatNotice, Platform::NoticeTitle, MsgIcon::Information,
                          MsgButtons::Ok);
    const QString path = m_platform.openFileName(FileFilter);
    if (path.isEmpty())
        return;
    // An .xls list goes through LibreOffice, which may take a while or hang: while it runs, a
    // dialog with 取消 shows and the windows keep being drawn.
    std::unique_ptr<QProgressDialog> progress;
    bool cancelled = false;
    const LibreOffice::WaitingScope waiting([this, &progress, &cancelled] {
        if (!progress) {
            progress = std::make_unique<QProgressDialog>(ConvertingLabel, QStringLiteral("取消"), 0, 0, this);
            progress->setObjectName(QStringLiteral("converting"));
            progress->setWindowTitle(windowTitle());
            progress->setWindowModality(Qt::ApplicationModal);
            progress->setMinimumDuration(0);
            progress->show();
        }
        QCoreApplication::processEvents();
        cancelled = progress->wasCanceled();
        return !cancelled;
    });
    const Result<QString> text = NameList::readFile(path, [this] {
        return m_platform.messageBox(NameList::longLineQuestion(), Platform::QuestionTitle, MsgIcon::Question,
                                     MsgButtons::YesNo) == MsgAnswer::Yes;
    });
    progress.reset();
    if (cancelled)
        return;
    if (!text) {
        m_platform.messageBox(text.error(), Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    QString shown = *text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_text->setPlainText(shown);
}

void inputstudent::Command3Click()
{
    if (m_platform.messageBox(EditorMessages::ClearQuestion, Platform::QuestionTitle, MsgIcon::Question,
                              MsgButtons::YesNo) == MsgAnswer::Yes)
        m_text->clear();
}

void inputstudent::Command1Click()
{
    const Result<NameList::Imported> result =
        NameList::importList(m_session, m_text->toPlainText(),
                             m_replace->isChecked() ? NameList::Mode::Replace : NameList::Mode::Add);
    // A list of nothing but line breaks is as empty as no list at all.
    if (result.kind() == FailureKind::Empty) {
        m_platform.messageBox(result.error(), Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
        m_text->setFocus();
        return;
    }
    if (!result) {
        m_platform.messageBox(DocumentMessages::ImportFailedMessage + result.error(), Platform::NoticeTitle,
                              MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    if (result->dropped)
        m_platform.messageBox(DocumentMessages::DroppedMessage, Platform::NoticeTitle, MsgIcon::Exclamation,
                              MsgButtons::Ok);
    if (m_rosterChanged)
        m_rosterChanged();
    close();
}
