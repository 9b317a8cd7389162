#pragma once

#include <QDialog>

#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

/// The smart-guess dialog "智能推测" shown when the current file has no students: offers to
/// import names, start a new file or open a file. Double-clicking an option runs it.
/// Shown without blocking; it deletes itself when closed.
class nostudent : public QDialog
{
    Q_OBJECT

public:
    /// What the three options start. openDocument returns false when the teacher cancelled
    /// the open dialog: this dialog then stays open.
    struct Actions
    {
        std::function<void()> importNames;
        std::function<void()> newDocument;
        std::function<bool()> openDocument;
    };

    explicit nostudent(Actions actions, QWidget *parent = nullptr);

    QLabel *Label1() const { return m_labels[0]; }
    QLabel *Label2() const { return m_labels[1]; }
    QLabel *Label3() const { return m_labels[2]; }
    QLabel *Label4() const { return m_labels[3]; }
    QLabel *Label5() const { return m_labels[4]; }
    QGroupBox *Frame1() const { return m_frame; }
    QRadioButton *Option1() const { return m_options[0]; }
    QRadioButton *Option2() const { return m_options[1]; }
    QRadioButton *Option3() const { return m_options[2]; }
    QPushButton *Command1() const { return m_run; }
    QPushButton *Command2() const { return m_cancel; }

    void Command1Click();   ///< 执行

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Actions m_actions;
    QLabel *m_labels[5] = {};
    QGroupBox *m_frame = nullptr;
    QRadioButton *m_options[3] = {};
    QPushButton *m_run = nullptr;
    QPushButton *m_cancel = nullptr;
};
