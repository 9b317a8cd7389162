#pragma once

#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/schemeediting.h"
#include "ui/printing/ps_paper.h"
#include "core/printing/textmeasurer.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
struct AppState;
class Platform;

/// What the print window shows below its three boxes: page setup, preview or print.
enum class PrintPanelMode { Setup, Preview, Print };

/// An up-down pair of arrows beside a text box. It holds no value: each click is a command.
class SpinArrows : public QWidget
{
    Q_OBJECT

public:
    explicit SpinArrows(QWidget *parent = nullptr);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

signals:
    void up();
    void down();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
};

/// The control panel of the print window, "打印设置": the scheme box, the scale box and the
/// mode box, and below them the page-setup, preview or print group. Every change goes at once
/// into the active scheme, which the panel owns, or into the document's item fonts and composes
/// the sample page again.
///
/// The panel sizes itself (8220 twips wide, its mode's height) but does not place itself, and
/// it leaves the sample page open when it closes: whoever opened both does that on closed().
class ps_control : public QWidget
{
    Q_OBJECT

public:
    static inline const QString AppTitle = QStringLiteral("青禾书苑");
    static inline const QString UnknownSchemeMessage = QStringLiteral("本功能暂未开通！");
    static inline const QString SavedMessage = QStringLiteral("成功保存了您的修改！");
    static inline const QString NewSchemePrompt =
        QStringLiteral("请输入新方案名\r\n\r\n您输入的内容可能显示为乱码，这不影响使用。");
    static inline const QString FirstPageMessage = QStringLiteral("已是最前一页！");
    static inline const QString LastPageMessage = QStringLiteral("已是最后一页！");
    static inline const QString StopQuestion = QStringLiteral("确实要取消所有打印作业吗？");
    static inline const QString PrintFailedMessage = QStringLiteral("打印失败！");
    static inline const QString PdfFilter = QStringLiteral("PDF文件|*.pdf");
    static inline const QString NoPrinterMessage =
        QStringLiteral("您的系统中没有安装打印机，您无法使用打印相关功能！") + u'\r'
        + QStringLiteral("如果需要安装打印机，请打开“控制面板”，找到相关图标，然后按照提示进行！");

    /// Opens the panel: loads the scheme list and selects its first scheme (which composes
    /// the page on `paper`), fills the student box and lays the panel out for `mode`.
    ps_control(AppState &state, Platform &platform, ps_paper *paper, PrintPanelMode mode,
               QWidget *parent = nullptr);

    /// The mode box's text for a mode, and the panel's height (twips) in that mode.
    static QString modeText(PrintPanelMode mode);
    static int panelHeight(PrintPanelMode mode);
    static constexpr int PanelWidth = 8220;

    /// Puts the mode's text into the mode box, which lays the panel out.
    void setMode(PrintPanelMode mode);
    PrintPanelMode mode() const { return m_mode; }

    SelectedObject selectedObject() const { return m_selected; }
    /// A click on the sample page: selects the item (None for the bare page), moves the
    /// outline, fills and enables the item boxes.
    void selectObject(SelectedObject object);

    /// The scheme being edited and printed with: the one picked in the scheme box, with the
    /// changes made to it since.
    const LayoutScheme &scheme() const { return m_scheme; }

    /// The last composed page and the scale it was composed at.
    ComposedPage page() const { return m_page; }
    double scale() const { return m_scale; }
    /// Composes the current student's page at the current scale and shows it.
    void compose();

    // Reactions to the boxes' text (a pick from the list or typing), as the widgets trigger them.
    void Combo1Change();   ///< scheme box
    void Combo2Change();   ///< scale box
    void Combo3Change();   ///< student box
    void Combo4Change();   ///< mode box

    /// A length in twips as pixels on this window's screen.
    int px(double twips) const;

    /// Whether a print run is in progress.
    bool isPrinting() const { return m_printing; }

    QComboBox *Combo1() const { return m_combo1; }
    QComboBox *Combo2() const { return m_combo2; }
    QComboBox *Combo3() const { return m_combo3; }
    QComboBox *Combo4() const { return m_combo4; }
    QGroupBox *jpapersetup() const { return m_jpapersetup; }
    QGroupBox *jprivew() const { return m_jprivew; }
    QGroupBox *jprint() const { return m_jprint; }
    QLineEdit *pheight() const { return m_pheight; }
    QLineEdit *pwidth() const { return m_pwidth; }
    QLineEdit *pjuli() const { return m_pjuli; }
    SpinArrows *UpDown1() const { return m_upDown1; }
    SpinArrows *UpDown2() const { return m_upDown2; }
    SpinArrows *UpDown3() const { return m_upDown3; }
    SpinArrows *UpDown4() const { return m_upDown4; }
    QLineEdit *theight() const { return m_theight; }
    QLineEdit *twidth() const { return m_twidth; }
    QLineEdit *ttop() const { return m_ttop; }
    QLineEdit *tleft() const { return m_tleft; }
    SpinArrows *twt() const { return m_twt; }
    SpinArrows *tht() const { return m_tht; }
    SpinArrows *ttt() const { return m_ttt; }
    SpinArrows *tlt() const { return m_tlt; }
    QPushButton *tfont() const { return m_tfont; }
    QLabel *selected() const { return m_selectedLabel; }
    /// Command1 … Command12; nullptr for another number. Command12 is the preview group's 退出.
    QPushButton *Command(int number) const;
    QPushButton *Command1() const { return Command(1); }
    QPushButton *Command2() const { return Command(2); }
    QPushButton *Command3() const { return Command(3); }
    QPushButton *Command4() const { return Command(4); }
    QPushButton *Command5() const { return Command(5); }
    QPushButton *Command6() const { return Command(6); }
    QPushButton *Command7() const { return Command(7); }
    QPushButton *Command8() const { return Command(8); }
    QPushButton *Command9() const { return Command(9); }
    QPushButton *Command10() const { return Command(10); }
    QPushButton *Command11() const { return Command(11); }
    QPushButton *Command12() const { return Command(12); }
    QRadioButton *Option1() const { return m_option1; }
    QRadioButton *Option2() const { return m_option2; }
    QLineEdit *copys() const { return m_copys; }
    /// "打印到PDF文件...": every student's page, with the active scheme, into a PDF file.
    QPushButton *topdf() const { return m_topdf; }

    /// Writes the whole class as a PDF file chosen in the save dialog, without a printer.
    void printToPdf();

signals:
    /// The print window closed (退出 or the window's own close): show the editing windows
    /// again, enable the toolbar and close the sample page. Sent from inside the close event:
    /// a receiver that disposes of the panel does so with deleteLater. A close asked for
    /// during a print run stops the run and takes effect once it has returned.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void loadSchemes();
    void fillStudents();
    void selectScheme(const QString &text);
    SchemeEditing::Box boxOf(const QLineEdit *box) const;
    void applyBox(QLineEdit *box);
    void spin(QLineEdit *box, bool up);
    void twtDown();
    void fillItemBoxes();
    void chooseItemFont();
    void newScheme();
    void saveScheme();
    void moveToStudent(int student);
    void previousStudent();
    void nextStudent();
    int lastStudent() const;
    void copiesSpin(bool up);
    void printCurrent();
    void print();
    void stopPrinting();
    void setPrintingControls(bool printing);
    QString currentStudentName() const;

    AppState &m_state;
    Platform &m_platform;
    ps_paper *m_paper = nullptr;
    QtTextMeasurer m_measurer;
    QPushButton *m_topdf = nullptr;
    LayoutScheme m_scheme;
    ComposedPage m_page;
    double m_scale = 0.75;
    PrintPanelMode m_mode = PrintPanelMode::Setup;
    SelectedObject m_selected = SelectedObject::None;
    bool m_typingStudent = false;   ///< the student box is being typed in: leave its text alone
    bool m_printing = false;
    bool m_stopRequested = false;
    bool m_closeAfterRun = false;
    bool m_closedEmitted = false;

    QComboBox *m_combo1 = nullptr;
    QComboBox *m_combo2 = nullptr;
    QComboBox *m_combo3 = nullptr;
    QComboBox *m_combo4 = nullptr;
    QGroupBox *m_jpapersetup = nullptr;
    QGroupBox *m_jprivew = nullptr;
    QGroupBox *m_jprint = nullptr;
    QLineEdit *m_pheight = nullptr;
    QLineEdit *m_pwidth = nullptr;
    QLineEdit *m_pjuli = nullptr;
    SpinArrows *m_upDown1 = nullptr;
    SpinArrows *m_upDown2 = nullptr;
    SpinArrows *m_upDown3 = nullptr;
    SpinArrows *m_upDown4 = nullptr;
    QLineEdit *m_theight = nullptr;
    QLineEdit *m_twidth = nullptr;
    QLineEdit *m_ttop = nullptr;
    QLineEdit *m_tleft = nullptr;
    SpinArrows *m_twt = nullptr;
    SpinArrows *m_tht = nullptr;
    SpinArrows *m_ttt = nullptr;
    SpinArrows *m_tlt = nullptr;
    QPushButton *m_tfont = nullptr;
    QLabel *m_selectedLabel = nullptr;
    static constexpr int CommandCount = 12;
    QPushButton *m_commands[CommandCount] = {};
    QRadioButton *m_option1 = nullptr;
    QRadioButton *m_option2 = nullptr;
    QLineEdit *m_copys = nullptr;
};
