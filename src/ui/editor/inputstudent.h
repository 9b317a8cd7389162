#pragma once

#include <QDialog>

#include <functional>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class Session;
class Platform;

/// The name-import dialog "导入学生名单": a list of names, one per line, typed, pasted or loaded
/// from a text file or a spreadsheet, imported into the roster by appending (添加) or replacing (替换).
/// Shown without blocking the main window; it deletes itself when closed.
class inputstudent : public QDialog
{
    Q_OBJECT

public:
    static inline const QString InputHint =
        QStringLiteral("每输入一个学生后请单击回车，\n系统将把每行文字识别为一个学生的姓名。");
    static inline const QString ListHint = QStringLiteral("这是准备导入的学生列表\n您可以修改它的内容");
    static inline const QString ClearHint = QStringLiteral("单击此按钮清空当前对话框中的学生列表。");
    static inline const QString LoadHint =
        QStringLiteral("单击此按钮从一个文本文件或表格文件中导入学生列表。");
    static inline const QString ConvertingLabel = QStringLiteral("正在用 LibreOffice 转换表格文件……");
    /// Every kind of list the name reader takes comes first, so that a spreadsheet shows at once.
    static inline const QString FileFilter =
        QStringLiteral("学生名单|*.txt *.csv *.xlsx *.ods *.xls|"
                       "文本文件|*.txt|表格文件|*.xlsx *.xls *.ods *.csv|"
                       "所有文件|*.*");

    /// rosterChanged runs after a successful import: it refills the student list and
    /// refreshes the editor.
    inputstudent(Session &session, Platform &platform, std::function<void()> rosterChanged,
                 QWidget *parent = nullptr);

    QPlainTextEdit *Text1() const { return m_text; }
    QGroupBox *Frame1() const { return m_frame; }
    QRadioButton *Option1() const { return m_add; }
    QRadioButton *Option2() const { return m_replace; }
    QPushButton *Command1() const { return m_import; }
    QPushButton *Command2() const { return m_cancel; }
    QPushButton *Command3() const { return m_clear; }
    QPushButton *Command5() const { return m_load; }
    QLabel *Label1() const { return m_hint; }

    void Command1Click(); ///< import and close
    void Command3Click(); ///< clear the list after asking
    void Command5Click(); ///< load the list from a text file

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    Session &m_session;
    Platform &m_platform;
    std::function<void()> m_rosterChanged;
    QPlainTextEdit *m_text = nullptr;
    QGroupBox *m_frame = nullptr;
    QRadioButton *m_add = nullptr;
    QRadioButton *m_replace = nullptr;
    QPushButton *m_import = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_load = nullptr;
    QLabel *m_hint = nullptr;
    bool m_placed = false; ///< the dialog has been put under the main window's top edge

    const QString &hintFor(const QWidget *widget) const;
};
