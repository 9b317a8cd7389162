#pragma once

#include "core/platform/itemfont.h"

#include <QObject>
#include <QPointer>

class Session;
class Platform;
class Workspace;
class inputstudent;
class nostudent;
class teachersetup;
class tuice_teacher;

/// The commands on the class roster, the teacher signature and the display fonts: the student
/// pop-up menu, the Edit menu's student items and the Tools menu, and the dialogs they open.
/// Each command edits the document and rebuilds the views through the workspace.
class StudentCommands : public QObject
{
    Q_OBJECT

public:
    StudentCommands(Session &session, Platform &platform, Workspace &workspace);

    void s_add();
    void s_delete();
    void s_rename();
    void s_delall();
    void s_setup();
    void tongji();
    /// 下一个学生 (step 1) and 上一个学生 (step -1): moves as a click in the list does, the card
    /// centred and the caret at the end of its comment; at either end of the class it stays.
    void moveBy(int step);
    void s_font();

    /// Opens the name-import dialog without blocking (or brings it forward).
    void input();
    /// Opens the signature dialog without blocking (or brings it forward).
    void teacher();
    /// The smart-guess dialog for a file without students.
    void showNoStudentGuess();
    /// The smart-guess dialog for a press in a signature.
    void showSignatureGuess();

    /// Lets the teacher choose the font of one printed item, then rebuilds the views.
    void changeItemFont(Item item);

    /// The student the roster commands act on: the list's selected entry, or the editor's
    /// current student while the list window is closed; -1 when there is none.
    int selectedStudent() const;

    // The open dialogs, or nullptr.
    inputstudent *importDialog() const;
    teachersetup *signatureDialog() const;
    nostudent *noStudentDialog() const;
    tuice_teacher *signatureGuessDialog() const;

private:
    bool requireDocument();
    void rosterChanged();

    Session &m_session;
    Platform &m_platform;
    Workspace &m_workspace;
    QPointer<inputstudent> m_input;
    QPointer<teachersetup> m_teacher;
    QPointer<nostudent> m_noStudent;
    QPointer<tuice_teacher> m_signatureGuess;
};
