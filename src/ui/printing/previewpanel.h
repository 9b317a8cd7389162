#pragma once

#include <QGroupBox>

class QComboBox;
class QPushButton;
class Session;
class SheetChoice;
class Platform;

/// The preview group of the print window, "打印预览": the student box and the four arrows that
/// move the sample page from student to student, 打印当前 and 退出, which the window answers.
/// A move sets the session's current student; the window composes the page again when it
/// changes, and showCurrentStudent() names it.
class PreviewPanel : public QGroupBox
{
    Q_OBJECT

public:
    /// The group, "jprivew", its student box listing the class.
    PreviewPanel(Session &session, Platform &platform, QWidget *parent);

    /// Lists the names of the class in the student box, up to the first empty one; the box's
    /// text stays.
    void fillStudents();
    /// Names the current student in the student box, unless the teacher is typing in it.
    void showCurrentStudent();
    /// Reaction to the student box's text (a pick from the list or typing): the first student of
    /// that name, blanks around it ignored, becomes the current one; a name not in the class
    /// moves to the first empty card, or nowhere when every card is named.
    void Combo3Change();
    /// During a print run the box, the arrows and 打印当前 take no clicks.
    void setPrinting(bool printing);

    /// The student box.
    QComboBox *Combo3() const { return m_combo3; }
    /// |←: the first student.
    QPushButton *Command4() const { return m_commands[0]; }
    /// ←: the previous student.
    QPushButton *Command5() const { return m_commands[1]; }
    /// →: the next student.
    QPushButton *Command6() const { return m_commands[2]; }
    /// →|: the last student.
    QPushButton *Command7() const { return m_commands[3]; }
    /// 打印当前
    QPushButton *Command11() const { return m_command11; }
    /// 退出
    QPushButton *Command12() const { return m_command12; }
    /// 每张纸 and 裁切线, as in the print panel.
    SheetChoice *sheets() const { return m_sheets; }

private:
    QString currentStudentName() const;
    int lastStudent() const;
    void moveToStudent(int student);
    void previousStudent();
    void nextStudent();

    Session &m_session;
    Platform &m_platform;
    bool m_typingStudent = false; ///< the student box is being typed in: leave its text alone
    QComboBox *m_combo3 = nullptr;
    QPushButton *m_commands[4] = {};
    QPushButton *m_command11 = nullptr;
    QPushButton *m_command12 = nullptr;
    SheetChoice *m_sheets = nullptr;
};
