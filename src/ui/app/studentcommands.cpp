#include "ui/app/studentcommands.h"

#include "core/app/messages.h"
#include "core/document/messages.h"
#include "core/document/roster.h"
#include "core/document/session.h"
#include "core/document/templatefile.h"
#include "core/platform/platform.h"
#include "ui/editor/inputstudent.h"
#include "ui/editor/messages.h"
#include "ui/editor/nostudent.h"
#include "ui/editor/pyedit.h"
#include "ui/editor/stds.h"
#include "ui/editor/teachersetup.h"
#include "ui/editor/tuice_teacher.h"
#include "ui/editor/workspace.h"
#include "ui/platform/present.h"

#include <QApplication>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>

StudentCommands::StudentCommands(Session &session, Platform &platform, Workspace &workspace)
    : QObject(workspace.dialogParent())
    , m_session(session)
    , m_platform(platform)
    , m_workspace(workspace)
{}

inputstudent *StudentCommands::importDialog() const
{
    return m_input;
}
teachersetup *StudentCommands::signatureDialog() const
{
    return m_teacher;
}
nostudent *StudentCommands::noStudentDialog() const
{
    return m_noStudent;
}
tuice_teacher *StudentCommands::signatureGuessDialog() const
{
    return m_signatureGuess;
}

int StudentCommands::selectedStudent() const
{
    if (!m_workspace.editor())
        return -1;
    if (stds *list = m_workspace.studentList())
        return list->stdlist()->currentRow();
    const int k = m_session.CurrentStudent();
    return k >= 0 && k < m_session.Document().studentCount() ? k : -1;
}

bool StudentCommands::requireDocument()
{
    if (m_workspace.editor())
        return true;
    m_platform.messageBox(EditorMessages::NoStudentMessage, Platform::NoticeTitle, MsgIcon::Information,
                          MsgButtons::Ok);
    return false;
}

void StudentCommands::s_add()
{
    if (!requireDocument())
        return;
    // Say so before the teacher types a name there is no room for.
    if (m_session.Document().studentCount() >= CommentDocument::MaxStudents) {
        m_platform.messageBox(DocumentMessages::FullMessage, Platform::NoticeTitle, MsgIcon::Exclamation,
                              MsgButtons::Ok);
        return;
    }
    const QString name =
        m_platform.inputBox(AppMessages::AddStudentPrompt, QStringLiteral("添加学生"), QString());
    if (name.isEmpty())
        return;
    if (m_session.addStudent(name) < 0)
        return;
    m_workspace.RefreshViews();
    if (stds *list = m_workspace.studentList())
        list->stdlist()->addItem(name);
    m_workspace.selectStudent(Roster::indexOf(m_session.Document(), name));
}

void StudentCommands::s_delete()
{
    const int k = selectedStudent();
    if (k < 0) {
        m_platform.messageBox(AppMessages::SelectFirstMessage, Platform::NoticeTitle, MsgIcon::Exclamation,
                              MsgButtons::Ok);
        return;
    }
    const QString question = QStringLiteral("确实要从当前评语文件中删除学生“%1”的所有信息吗？")
                                 .arg(m_session.Document().slot(k + 1).name);
    if (m_platform.messageBox(question, Platform::QuestionTitle, MsgIcon::Question, MsgButtons::YesNo) !=
        MsgAnswer::Yes)
        return;
    m_session.deleteStudent(k);
    if (stds *list = m_workspace.studentList()) {
        // Qt hands the selection of a removed entry on to its neighbour, which would move the
        // editor; the entry goes without a selection, and the steps below choose one.
        const QSignalBlocker blocker(list->stdlist());
        delete list->stdlist()->takeItem(k);
        list->stdlist()->setCurrentRow(-1);
    }
    m_workspace.RefreshViews();
    // The student that moved up takes the deleted place; after the last, the new last.
    const int count = m_session.Document().studentCount();
    if (k > 0 && k < count)
        m_workspace.selectStudent(k);
    else if (k > 0 && k == count)
        m_workspace.selectStudent(k - 1);
}

void StudentCommands::s_rename()
{
    const int k = selectedStudent();
    if (k < 0) {
        m_platform.messageBox(AppMessages::SelectFirstMessage, Platform::NoticeTitle, MsgIcon::Exclamation,
                              MsgButtons::Ok);
        return;
    }
    const QString current = m_session.Document().slot(k + 1).name;
    const QString name = m_platform.inputBox(AppMessages::RenamePrompt, QStringLiteral("重命名"), current);
    if (name.isEmpty())
        return;
    m_session.renameStudent(k, name);
    if (m_workspace.studentList())
        m_workspace.reopenStudentList(true);
    m_workspace.RefreshViews();
    m_workspace.selectStudent(Roster::indexOf(m_session.Document(), name));
}

void StudentCommands::s_delall()
{
    if (!requireDocument())
        return;
    if (m_platform.messageBox(AppMessages::DeleteAllQuestion, Platform::QuestionTitle, MsgIcon::Question,
                              MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    if (stds *list = m_workspace.studentList())
        list->stdlist()->clear();
    m_session.deleteAll();
    m_workspace.RefreshViews();
}

void StudentCommands::s_setup()
{
    const Result<void> stored =
        TemplateFile::storeRoster(m_session.Files().templateFile(), m_session.Document());
    if (!stored) {
        m_platform.messageBox(AppMessages::SettingFailedMessage + stored.error(), Platform::NoticeTitle,
                              MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    m_platform.messageBox(AppMessages::DoneMessage, Platform::NoticeTitle, MsgIcon::Information,
                          MsgButtons::Ok);
}

void StudentCommands::tongji()
{
    const int students = m_session.Document().studentCount();
    m_platform.messageBox(
        Roster::progressMessage(students, Roster::commentedCount(m_session.Document(), students)),
        Platform::NoticeTitle, MsgIcon::Information, MsgButtons::Ok);
}

void StudentCommands::moveBy(int step)
{
    const int students = m_session.Document().studentCount();
    if (students == 0)
        return;
    const int from = std::max(m_session.CurrentStudent(), 0);
    m_workspace.selectStudent(std::clamp(from + step, 0, students - 1));
}

void StudentCommands::s_font()
{
    changeItemFont(Item::StudentName);
}

void StudentCommands::changeItemFont(Item item)
{
    ItemFont font = m_session.Document().ItemFonts[std::size_t(item)];
    takeChosenFont(font, m_platform.chooseFont(font));
    m_session.setItemFont(int(item), font);
    m_workspace.RefreshViews();
}

void StudentCommands::rosterChanged()
{
    if (m_workspace.studentList())
        m_workspace.reopenStudentList(true);
    m_workspace.RefreshViews();
}

void StudentCommands::input()
{
    // Names go into the open document; with none open they start a new one.
    if (!m_workspace.editor())
        m_workspace.lifecycle().NewDocument();
    if (!m_workspace.editor())
        return;
    if (!m_input || !m_input->isVisible())
        m_input = new inputstudent(
            m_session, m_platform, [this] { rosterChanged(); }, m_workspace.dialogParent());
    present(m_input);
}

void StudentCommands::teacher()
{
    if (!m_teacher || !m_teacher->isVisible())
        m_teacher = new teachersetup(
            m_session, m_platform, [this] { m_workspace.RefreshViews(); }, m_workspace.dialogParent());
    present(m_teacher);
}

void StudentCommands::showNoStudentGuess()
{
    // The teacher is already doing what the dialog would suggest first.
    if (m_input && m_input->isVisible())
        return;
    // A question is open (the recovery offer at start, say): the editor's empty-class timer
    // asks again, unless students have come by then.
    if (QApplication::activeModalWidget()) {
        if (pyedit *editor = m_workspace.editor())
            editor->Timer1()->start();
        return;
    }
    if (!m_noStudent || !m_noStudent->isVisible()) {
        nostudent::Actions actions;
        actions.importNames = [this] { input(); };
        actions.newDocument = [this] { m_workspace.lifecycle().NewDocument(); };
        actions.openDocument = [this] { return m_workspace.lifecycle().OpenDocument(); };
        m_noStudent = new nostudent(std::move(actions), m_workspace.dialogParent());
    }
    present(m_noStudent);
}

void StudentCommands::showSignatureGuess()
{
    if (!m_signatureGuess || !m_signatureGuess->isVisible()) {
        tuice_teacher::Actions actions;
        actions.changeSignature = [this] { teacher(); };
        actions.changeFont = [this] { changeItemFont(Item::Signature); };
        m_signatureGuess = new tuice_teacher(m_platform, std::move(actions), m_workspace.dialogParent());
    }
    present(m_signatureGuess);
}
