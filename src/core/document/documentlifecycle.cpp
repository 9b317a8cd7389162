#include "core/document/documentlifecycle.h"

#include "core/document/appstate.h"
#include "core/document/commentfile.h"
#include "core/platform/platform.h"
#include "core/platform/textfile.h"

DocumentLifecycle::DocumentLifecycle(AppState &state, Platform &platform, EditorHost &host)
    : m_state(state)
    , m_platform(platform)
    , m_host(host)
{
}

QString DocumentLifecycle::editorCaption(const QString &currentPath)
{
    const QString prefix = QStringLiteral("评语编辑窗口：");
    if (currentPath.isEmpty())
        return prefix + QStringLiteral("新文件");
    return prefix + currentPath.mid(currentPath.lastIndexOf(u'/') + 1);
}

bool DocumentLifecycle::OpenEditor()
{
    m_host.showEditorWindow(editorCaption(m_state.CurrentPath));
    const bool fromFile = !m_state.CurrentPath.isEmpty();
    const QString path = m_state.CurrentPath;
    CommentFile::ReadOutcome outcome;
    const bool accepted = ReadCommentFile(m_state, m_platform, &outcome).isEmpty();
    if (!accepted && fromFile) {
        // The document no longer holds that file's content: never save over it.
        m_state.CurrentPath.clear();
        m_state.HasFileName = false;
        m_host.setEditorCaption(editorCaption(m_state.CurrentPath));
    }
    m_host.refreshViews();
    m_host.reopenStudentList(true);
    if (accepted && fromFile && outcome.unreadableBytes > 0) {
        // Told once the file is on screen, so that the teacher can look at the places.
        m_platform.messageBox(UnreadableBytesMessage.arg(path, QString::number(outcome.unreadableBytes)),
                              Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
    }
    return accepted || !fromFile;
}

bool DocumentLifecycle::saveTo(const QString &path)
{
    const QString previous = m_state.CurrentPath;
    m_state.CurrentPath = path;
    if (!WriteCommentFile(m_state, m_platform, m_host.displayFonts())) {
        m_state.CurrentPath = previous;
        return false;
    }
    m_host.setEditorCaption(editorCaption(m_state.CurrentPath));
    m_state.HasFileName = true;
    m_state.Modified = false;
    return true;
}

bool DocumentLifecycle::CloseEditor()
{
    if (m_state.Modified) {
        switch (m_platform.messageBox(SaveQuestion, Platform::NoticeTitle, MsgIcon::Question,
                                      MsgButtons::YesNoCancel)) {
        case MsgAnswer::Yes: {
            QString path = m_state.CurrentPath;
            if (!m_state.HasFileName) {
                path = m_platform.saveFileName(SaveFilter);
                if (path.isEmpty())
                    return false;
            }
            if (!saveTo(path))
                return false;
            break;
        }
        case MsgAnswer::No:
            m_state.Modified = false;
            break;
        default:
            return false;
        }
    }
    m_state.CurrentStudent = -1;
    m_state.CurrentPath.clear();
    ReadCommentFile(m_state, m_platform);
    m_host.reopenStudentList(false);
    m_host.disableDocumentCommands();
    m_host.closeEditorWindow();
    m_state.CurrentStudent = -1;   // reopening the list may have moved the closing editor
    return true;
}

void DocumentLifecycle::NewDocument()
{
    if (m_host.editorIsOpen() && !CloseEditor())
        return;
    OpenEditor();
    m_state.Modified = false;
    m_state.HasFileName = false;
}

bool DocumentLifecycle::OpenDocument()
{
    const QString path = m_platform.openFileName(OpenFilter);
    if (path.isEmpty())
        return false;
    openPath(path);
    return true;
}

void DocumentLifecycle::openPath(const QString &path)
{
    // A pipe or a device is no comment file: refused before anything is closed, and without
    // ever waiting on it.
    if (const QString why = TextFile::notARegularFile(path); !why.isEmpty()) {
        m_platform.messageBox(CommentFile::UnreadableMessage.arg(path, why), Platform::NoticeTitle,
                              MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    if (m_host.editorIsOpen() && !CloseEditor())
        return;
    m_state.CurrentPath = path;
    m_state.HasFileName = OpenEditor();
    m_state.Modified = false;
}

bool DocumentLifecycle::SaveDocument()
{
    QString path = m_state.CurrentPath;
    if (!m_state.HasFileName) {
        path = m_platform.saveFileName(SaveFilter);
        if (path.isEmpty())
            return false;
    }
    return saveTo(path);
}

bool DocumentLifecycle::SaveDocumentAs()
{
    const QString path = m_platform.saveFileName(SaveFilter);
    if (path.isEmpty())
        return false;
    return saveTo(path);
}

bool DocumentLifecycle::canExit()
{
    return !m_host.editorIsOpen() || CloseEditor();
}
