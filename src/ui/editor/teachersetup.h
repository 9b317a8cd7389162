#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class Session;
class Platform;

/// The signature dialog "设置教师签名": sets the teacher's signature for the current comment
/// file (设为当前) or also as the default of new files (设为默认, which rewrites the template).
/// Shown without blocking; it deletes itself when closed.
class teachersetup : public QDialog
{
    Q_OBJECT

public:
    /// refresh rebuilds the editor so that every card shows the new signature.
    teachersetup(Session &session, Platform &platform, std::function<void()> refresh,
                 QWidget *parent = nullptr);

    QLabel *Label1() const { return m_label1; }
    QLabel *Label2() const { return m_label2; }
    QLineEdit *Text1() const { return m_text; }
    QPushButton *Command1() const { return m_setDefault; }
    QPushButton *Command2() const { return m_setCurrent; }
    QPushButton *Command3() const { return m_cancel; }

    void Command1Click(); ///< 设为默认
    void Command2Click(); ///< 设为当前

    /// "是否把“…”设置为新建文件时系统默认的教师签名？"
    static QString defaultQuestion(const QString &signature);

private:
    Session &m_session;
    Platform &m_platform;
    std::function<void()> m_refresh;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLineEdit *m_text = nullptr;
    QPushButton *m_setDefault = nullptr;
    QPushButton *m_setCurrent = nullptr;
    QPushButton *m_cancel = nullptr;
};
