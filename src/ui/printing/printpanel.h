#pragma once

#include "core/printing/printrun.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QSpinBox;
class QPushButton;
class QRadioButton;
class SheetChoice;
class SpinArrows;
class TextMeasurer;
class Session;
struct LayoutScheme;
class Platform;

/// The print group of the print window, "打印": the printer, the range (全部, 当前 or 从 … 到 …,
/// only the written comments, as one job or one job a student), the number of copies, and the
/// print run with its progress and 停止打印. Below them a warning names the students of the range
/// whose comment runs past its box. The window answers 打印 (it shows the page at full size
/// around the run and calls run()), 打印到PDF文件... and 退出.
class PrintPanel : public QGroupBox
{
    Q_OBJECT

public:
    /// The group, "jprint": the remembered printer (else the default), range 全部, one copy.
    PrintPanel(Session &session, Platform &platform, QWidget *parent);

    /// Prints what the range and the copies ask for, with the scheme and the paper size the
    /// boxes hold, on the chosen printer. Says when there is no printer; asks before printing
    /// empty comments (Yes: print them, No: leave them out, Cancel: print nothing) and once
    /// before comments that run past their box (No: print nothing); says how many pages went to
    /// which printer, or why the run failed. Events are handled between pages, so that 停止打印
    /// can be pressed; the run sends runningChanged() around itself.
    void run(const LayoutScheme &scheme, const QString &pheightText, const QString &pwidthText,
             const TextMeasurer &measurer);
    /// What the controls ask a run for (the paper-size texts aside).
    PrintRunOptions options() const;
    /// The students 打印 would print (0-based, in order), asked about as 打印 asks with the scheme:
    /// says when the range holds nobody, asks before empty comments and comments past their box.
    /// Empty when there is nothing to do.
    QList<int> chosenStudents(const LayoutScheme &scheme, const TextMeasurer &measurer);
    /// Names in fitWarning() the students of the range whose comment runs past its box with the
    /// scheme; hides it when there are none.
    void updateFitWarning(const LayoutScheme &scheme, const TextMeasurer &measurer);
    /// The chosen printer's name; empty when the system offers none.
    QString printerName() const;
    /// Whether a run is in progress.
    bool isPrinting() const { return m_printing; }
    /// Ends a run in progress before its next page, without asking and without a word after:
    /// the window is closing.
    void requestStop()
    {
        m_stopRequested = true;
        m_closing = true;
    }
    /// Range 当前, one copy: what 打印当前 prints.
    void chooseCurrentOnly();
    /// During a print run only 停止打印 and 退出 take clicks.
    void setPrinting(bool printing);

    /// The printers, the default marked "（默认）".
    QComboBox *printerBox() const { return m_printers; }
    /// 属性...: the chosen printer's own settings; the copies and range chosen there become the
    /// group's own.
    QPushButton *properties() const { return m_properties; }
    /// 全部
    QRadioButton *Option1() const { return m_option1; }
    /// 当前
    QRadioButton *Option2() const { return m_option2; }
    /// 从 … 到 …, with the list positions of the first and the last student.
    QRadioButton *Option3() const { return m_option3; }
    QSpinBox *fromStudent() const { return m_from; }
    QSpinBox *toStudent() const { return m_to; }
    /// 只打印已写评语的学生
    QCheckBox *onlyWritten() const { return m_onlyWritten; }
    /// 合并为一个打印任务
    QCheckBox *oneJob() const { return m_oneJob; }
    /// Pages done during a run of more than a few students.
    QProgressBar *progress() const { return m_progress; }
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
    /// 每张纸 and 裁切线.
    SheetChoice *sheets() const { return m_sheets; }
    /// The students of the range whose comment runs past its box, with the lines of each in its tip.
    QLabel *fitWarning() const { return m_fitWarning; }

signals:
    /// The range, 只打印已写评语的学生 or 每张纸 changed: the students a run takes may be others.
    void rangeChanged();
    /// A run starts (true) or has ended (false).
    void runningChanged(bool printing);

private:
    void fillPrinters();
    void stopPrinting();
    void showProperties();
    /// Says when the options take nobody (if sayWhenNobody), asks before empty comments (No
    /// leaves them out), then before comments past their box; false when the run is not to go ahead.
    bool confirmStudents(PrintRunOptions &options, bool sayWhenNobody, const LayoutScheme &scheme,
                         const TextMeasurer &measurer);

    Session &m_session;
    Platform &m_platform;
    bool m_printing = false;
    bool m_stopRequested = false;
    bool m_closing = false;

    QComboBox *m_printers = nullptr;
    QPushButton *m_properties = nullptr;
    QRadioButton *m_option1 = nullptr;
    QRadioButton *m_option2 = nullptr;
    QRadioButton *m_option3 = nullptr;
    QSpinBox *m_from = nullptr;
    QSpinBox *m_to = nullptr;
    QCheckBox *m_onlyWritten = nullptr;
    QCheckBox *m_oneJob = nullptr;
    QProgressBar *m_progress = nullptr;
    QLineEdit *m_copys = nullptr;
    SpinArrows *m_upDown3 = nullptr;
    QPushButton *m_command8 = nullptr;
    QPushButton *m_command9 = nullptr;
    QPushButton *m_command10 = nullptr;
    SheetChoice *m_sheets = nullptr;
    QPushButton *m_topdf = nullptr;
    QLabel *m_fitWarning = nullptr;
};
