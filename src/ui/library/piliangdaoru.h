#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class Session;
class Platform;
class pytools;

/// The batch import "批量导入评语内容到评语库": stock comments typed or pasted one per line,
/// added at the head of the section that the library window shows at the moment of the import.
/// Shown without blocking; it deletes itself when closed.
class piliangdaoru : public QDialog
{
    Q_OBJECT

public:
    /// libraryWindow gives the library window, opening it first when it is closed.
    piliangdaoru(Session &session, Platform &platform, std::function<pytools *()> libraryWindow,
                 QWidget *parent = nullptr);

    QLabel *Label1() const { return m_label1; }
    QLabel *Label2() const { return m_label2; }
    QPlainTextEdit *Text1() const { return m_text; }
    QPushButton *Command1() const { return m_import; }
    QPushButton *Command2() const { return m_clear; }
    QPushButton *Command3() const { return m_close; }

    void Command1Click(); ///< 导入
    void Command2Click(); ///< 清空

private:
    Session &m_session;
    Platform &m_platform;
    std::function<pytools *()> m_libraryWindow;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QPlainTextEdit *m_text = nullptr;
    QPushButton *m_import = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_close = nullptr;
};
