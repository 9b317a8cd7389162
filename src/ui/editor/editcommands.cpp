#include "ui/editor/editcommands.h"

#include "core/document/session.h"
#include "core/platform/platform.h"
#include "ui/editor/messages.h"
#include "ui/editor/pyedit.h"
#include "ui/editor/workspace.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocumentFragment>

EditCommands::EditCommands(Session &session, Platform &platform, Workspace &workspace)
    : m_session(session)
    , m_platform(platform)
    , m_workspace(workspace)
{}

QPlainTextEdit *EditCommands::currentBox() const
{
    pyedit *editor = m_workspace.editor();
    if (!editor || m_session.CurrentStudent() < 0)
        return nullptr;
    return editor->pytext1(m_session.CurrentStudent());
}

void EditCommands::copy()
{
    QPlainTextEdit *box = currentBox();
    if (!box || !box->textCursor().hasSelection()) {
        m_platform.messageBox(EditorMessages::NothingToCopyMessage, Platform::NoticeTitle,
                              MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    m_platform.setClipboardText(box->textCursor().selection().toPlainText());
}

void EditCommands::cut()
{
    QPlainTextEdit *box = currentBox();
    if (!box || !box->textCursor().hasSelection()) {
        m_platform.messageBox(EditorMessages::NothingToCutMessage, Platform::NoticeTitle,
                              MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    QTextCursor cursor = box->textCursor();
    m_platform.setClipboardText(cursor.selection().toPlainText());
    cursor.removeSelectedText();
    box->setTextCursor(cursor);
}

void EditCommands::paste()
{
    QPlainTextEdit *box = currentBox();
    if (!box) {
        m_platform.messageBox(EditorMessages::WhereToPasteMessage, Platform::NoticeTitle, MsgIcon::Question,
                              MsgButtons::Ok);
        return;
    }
    pasteAtCaret(box, m_platform.clipboardText());
}

void EditCommands::pasteAtCaret(QPlainTextEdit *box, const QString &text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(u'\r', u'\n');
    QTextCursor cursor = box->textCursor();
    if (plain.isEmpty() && !cursor.hasSelection())
        return; // nothing to insert: the comment does not change
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.insertText(plain);
    cursor.endEditBlock();
    box->setTextCursor(cursor);
}
