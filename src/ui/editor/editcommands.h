#pragma once

#include <QString>

class QPlainTextEdit;
class Session;
class Platform;
class pyedit;
class Workspace;

/// Cut, copy and paste on the comment of the current student. The clipboard holds plain text
/// and is reached through the platform seam.
class EditCommands
{
public:
    /// editor gives the open editor window, or nullptr.
    EditCommands(Session &session, Platform &platform, Workspace &workspace);

    void cut();
    void copy();
    void paste();

    /// Replaces the box's selection (if any) by the text and leaves the caret after it, as one
    /// undo step. Line breaks of any kind become the box's own.
    static void pasteAtCaret(QPlainTextEdit *box, const QString &text);

private:
    /// The current student's comment box, or nullptr when there is no current student.
    QPlainTextEdit *currentBox() const;

    Session &m_session;
    Platform &m_platform;
    Workspace &m_workspace;
};
