#pragma once

#include <QDialog>

#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class Platform;

/// The smart-guess dialog "智能推测" shown when the teacher presses the mouse in a signature:
/// offers to change the signature or its font. Double-clicking an option runs it.
/// Shown without blocking; it deletes itself when closed.
class tuice_teacher : public QDialog
{
    Q_OBJECT

public:
    static inline const QString ChooseMessage = QStringLiteral("请选择一项功能！");

    struct Actions
    {
        std::function<void()> changeSignature;   ///< opens the signature dialog
        std::function<void()> changeFont;        ///< the signature font chooser and refresh
    };

    tuice_teacher(Platform &platform, Actions actions, QWidget *parent = nullptr);

    QLabel *Label1() const { return m_labels[0]; }
    QLabel *Label2() const { return m_labels[1]; }
    QLabel *Label3() const { return m_labels[2]; }
    QLabel *Label4() const { return m_labels[3]; }
    QGroupBox *Frame1() const { return m_frame; }
    QRadioButton *Option1() const { return m_options[0]; }
    QRadioButton *Option2() const { return m_options[1]; }
    QPushButton *Command1() const { return m_run; }
    QPushButton *Command2() const { return m_cancel; }

    void Command1Click();   ///< 执行

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Platform &m_platform;
    Actions m_actions;
    QLabel *m_labels[4] = {};
    QGroupBox *m_frame = nullptr;
    QRadioButton *m_options[2] = {};
    QPushButton *m_run = nullptr;
    QPushButton *m_cancel = nullptr;
};
