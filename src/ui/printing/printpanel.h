#pragma once

#include <QGroupBox>

class QLineEdit;
class QPushButton;
class QRadioButton;
class SpinArrows;
class TextMeasurer;
class PrintTarget;
class Session;
struct LayoutScheme;
class Platform;

/// The print group of the print window, "打印": the range (全部 or 当前) and the number of
/// copies, and the print run with its 停止打印. The window answers 打印 (it shows the page at
/// full size around the run and calls run()), 打印到PDF文件... and 退出.
class PrintPanel : public QGroupBox
{
    Q_OBJECT

public:
    /// The group, "jprint": range 全部, one copy.
    PrintPanel(Session &session, Platform &platform, QWidget *parent);

    /// Prints what the range and the copies ask for, with the scheme and the paper size the
    /// boxes hold, on `printer`; returns once the run is done, stopped or failed, having told a
    /// failure. Events are handled between documents, so that 停止打印 can be pressed; the
    /// run sends runningChanged() around itself.
    void run(PrintTarget &printer, const LayoutScheme &scheme, const QString &pheightText,
             const QString &pwidthText, const TextMeasurer &measurer);
    /// Whether a run is in progress.
    bool isPrinting() const { return m_printing; }
    /// Ends a run in progress before its next document, without asking.
    void requestStop() { m_stopRequested = true; }
    /// Range 当前, one copy: what 打印当前 prints.
    void chooseCurrentOnly();
    /// During a print run only 停止打印 and 退出 take clicks.
    void setPrinting(bool printing);

    /// 全部
    QRadioButton *Option1() const { return m_option1; }
    /// 当前
    QRadioButton *Option2() const { return m_option2; }
    /// The copies box.
    QLineEdit *copys() const { return m_copys; }
    /// The arrows of the copies box.
    SpinArrows *UpDown3() const { return m_upDown3; }
    /// 打印
    QPushButton *Command8() const { return m_command8; }
    /// 停止打印
    QPushButton *Command9() const { return m_command9; }
    /// 退出
    QPushButton *Command10() const { return m_command10; }
    /// "打印到PDF文件...": every student's page, with the active scheme, into a PDF file.
    QPushButton *topdf() const { return m_topdf; }

signals:
    /// A run starts (true) or has ended (false).
    void runningChanged(bool printing);

private:
    void stopPrinting();

    Session &m_session;
    Platform &m_platform;
    bool m_printing = false;
    bool m_stopRequested = false;

    QRadioButton *m_option1 = nullptr;
    QRadioButton *m_option2 = nullptr;
    QLineEdit *m_copys = nullptr;
    SpinArrows *m_upDown3 = nullptr;
    QPushButton *m_command8 = nullptr;
    QPushButton *m_command9 = nullptr;
    QPushButton *m_command10 = nullptr;
    QPushButton *m_topdf = nullptr;
};
