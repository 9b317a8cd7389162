#include "ui/editor/finddialog.h"

#include "core/document/findreplace.h"
#include "core/document/roster.h"
#include "core/document/session.h"
#include "core/platform/platform.h"
#include "ui/editor/pyedit.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString StepName = QStringLiteral("全部替换");

} // namespace

FindDialog::FindDialog(Session &session, Platform &platform, std::function<pyedit *()> editor,
                       QWidget *parent)
    : QDialog(parent)
    , m_session(session)
    , m_platform(platform)
    , m_editor(std::move(editor))
{
    setObjectName(QStringLiteral("findReplace"));
    setWindowTitle(QStringLiteral("查找和替换"));
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("findText"));
    m_replace = new QLineEdit(this);
    m_replace->setObjectName(QStringLiteral("replaceText"));
    m_case = new QCheckBox(QStringLiteral("区分大小写(&C)"), this);
    m_case->setObjectName(QStringLiteral("matchCase"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("findStatus"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("查找内容(&N)："), m_find);
    form->addRow(QStringLiteral("替换为(&P)："), m_replace);
    form->addRow(QString(), m_case);

    auto *buttons = new QDialogButtonBox(this);
    const auto button = [&](const char *name, const QString &text) {
        QPushButton *b = buttons->addButton(text, QDialogButtonBox::ActionRole);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton *next = button("findNext", QStringLiteral("查找下一个(&F)"));
    next->setDefault(true);
    QPushButton *previous = button("findPrevious", QStringLiteral("查找上一个(&B)"));
    QPushButton *one = button("replaceOne", QStringLiteral("替换(&R)"));
    QPushButton *all = button("replaceAll", QStringLiteral("全部替换(&A)"));
    QPushButton *close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    close->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addWidget(buttons);

    connect(next, &QPushButton::clicked, this, [this] { findNext(false); });
    connect(previous, &QPushButton::clicked, this, [this] { findNext(true); });
    connect(one, &QPushButton::clicked, this, &FindDialog::replaceOne);
    connect(all, &QPushButton::clicked, this, &FindDialog::replaceAll);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
}

Qt::CaseSensitivity FindDialog::caseSensitivity() const
{
    return m_case->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

QPlainTextEdit *FindDialog::box(int student) const
{
    pyedit *editor = m_editor ? m_editor() : nullptr;
    return editor ? editor->pytext1(student) : nullptr;
}

QStringList FindDialog::boxTexts() const
{
    QStringList texts;
    pyedit *editor = m_editor ? m_editor() : nullptr;
    for (int i = 0; editor && i < editor->cardCount() && i < m_session.Document().studentCount(); ++i)
        texts << editor->pytext1(i)->toPlainText();
    return texts;
}

bool FindDialog::findNext(bool backwards)
{
    pyedit *editor = m_editor ? m_editor() : nullptr;
    const QString needle = m_find->text();
    if (!editor || needle.isEmpty())
        return false;
    const QStringList texts = boxTexts();
    const int student = std::clamp(m_session.CurrentStudent(), 0, std::max(int(texts.size()) - 1, 0));
    int position = -1;
    if (QPlainTextEdit *current = box(student)) {
        const QTextCursor cursor = current->textCursor();
        // Forwards from a selected place, or from the caret itself; backwards from where either begins.
        position = cursor.hasSelection() || backwards ? cursor.selectionStart() : cursor.position() - 1;
    }
    const std::optional<FindReplace::Match> match =
        FindReplace::next(texts, needle, caseSensitivity(), student, position, backwards);
    if (!match) {
        m_status->setText(QStringLiteral("找不到“%1”。").arg(needle));
        return false;
    }
    editor->moveTo(match->student);
    QPlainTextEdit *found = box(match->student);
    QTextCursor cursor = found->textCursor();
    cursor.setPosition(match->position);
    cursor.setPosition(match->position + match->length, QTextCursor::KeepAnchor);
    found->setTextCursor(cursor);
    m_session.setCurrentStudent(match->student);
    m_status->clear();
    return true;
}

void FindDialog::replaceOne()
{
    const QString needle = m_find->text();
    QPlainTextEdit *current = box(m_session.CurrentStudent());
    if (current && !needle.isEmpty()) {
        QTextCursor cursor = current->textCursor();
        if (cursor.selectedText().compare(needle, caseSensitivity()) == 0) {
            cursor.insertText(m_replace->text());
            current->setTextCursor(cursor);
        }
    }
    findNext(false);
}

int FindDialog::replaceAll()
{
    const QString needle = m_find->text();
    const QList<FindReplace::Change> changes =
        FindReplace::replaceAll(Roster::comments(m_session.Document()), needle, m_replace->text(), caseSensitivity());
    if (changes.isEmpty()) {
        if (!needle.isEmpty())
            m_status->setText(QStringLiteral("找不到“%1”。").arg(needle));
        return 0;
    }
    if (m_platform.messageBox(FindReplace::replaceAllQuestion(changes, needle, m_replace->text()),
                              Platform::QuestionTitle, MsgIcon::Question,
                              MsgButtons::YesNo) != MsgAnswer::Yes)
        return 0;
    m_session.changeComments(StepName, changes);
    int replaced = 0;
    for (const FindReplace::Change &change : changes)
        replaced += change.places;
    m_status->setText(QStringLiteral("已替换 %1 名学生评语中的 %2 处。").arg(changes.size()).arg(replaced));
    return replaced;
}
