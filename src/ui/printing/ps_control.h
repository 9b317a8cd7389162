#pragma once

#include "core/printing/composition.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/textmeasurer.h"
#include "ui/printing/ps_paper.h"

#include <QWidget>

class QComboBox;
class QPushButton;
class PageSetupPanel;
struct PageSetup;
class PreviewPanel;
class PrintPanel;
class Session;
class Platform;

/// What the print window shows below its three boxes: page setup, preview or print.
enum class PrintPanelMode { Setup, Preview, Print };

/// The print window, "打印设置": the scheme box, the scale box and the mode box, and below them
/// the page-setup, preview or print panel, as the mode box says. It opens on the session's
/// chosen scheme, and the scheme picked in its scheme box becomes the session's. It keeps that
/// scheme with the changes made to it since (ActiveScheme): the page-setup panel edits it, and
/// the print run and the PDF file are made with it. Every change to the scheme, the item fonts
/// or the current student composes the sample page again.
///
/// The window sizes itself (8220 twips wide, its mode's height) but does not place itself, and
/// it leaves the sample page open when it closes: whoever opened both does that on closed().
class ps_control : public QWidget
{
    Q_OBJECT

public:
    static inline const QString AppTitle = QStringLiteral("青禾书苑");

    /// Opens the window: loads the scheme list and selects its first scheme (which composes
    /// the page on `paper`), fills the student box and lays the window out for `mode`.
    ps_control(Session &session, Platform &platform, ps_paper *paper, PrintPanelMode mode,
               QWidget *parent = nullptr);

    /// The mode box's text for a mode.
    static QString modeText(PrintPanelMode mode);
    /// The window's height (twips) in a mode.
    static int panelHeight(PrintPanelMode mode);
    /// The window's width (twips) in every mode.
    static constexpr int PanelWidth = 8220;

    /// Puts the mode's text into the mode box, which lays the window out.
    void setMode(PrintPanelMode mode);
    /// The mode the window is laid out for.
    PrintPanelMode mode() const { return m_mode; }

    /// The item the page-setup panel edits.
    SelectedObject selectedObject() const;
    /// A click on the sample page: selects the item (None for the bare page), moves the
    /// outline, fills and enables the item boxes.
    void selectObject(SelectedObject object);

    /// The scheme being edited and printed with: the one picked in the scheme box, with the
    /// changes made to it since.
    const LayoutScheme &ActiveScheme() const { return m_scheme; }

    /// The last composed page.
    ComposedPage page() const { return m_page; }
    /// The scale the last page was composed at.
    double scale() const { return m_scale; }
    /// Composes the current student's page at the current scale and shows it.
    void compose();
    /// With several students a sheet, outside setup: shows the current student's sheet; false
    /// when the page itself is to show.
    bool showSheet(const PageSetup &setup);

    // Reactions to the boxes' text (a pick from the list or typing), as the widgets trigger them.
    void Combo1Change(); ///< scheme box
    void Combo2Change(); ///< scale box
    void Combo4Change(); ///< mode box

    /// A length in twips as pixels on this window's screen.
    int px(double twips) const;

    /// Whether a print run is in progress.
    bool isPrinting() const;

    /// The scheme box.
    QComboBox *Combo1() const { return m_combo1; }
    /// The scale box.
    QComboBox *Combo2() const { return m_combo2; }
    /// The mode box.
    QComboBox *Combo4() const { return m_combo4; }
    /// The page-setup panel.
    PageSetupPanel *jpapersetup() const { return m_setup; }
    /// The preview panel.
    PreviewPanel *jprivew() const { return m_preview; }
    /// The print panel.
    PrintPanel *jprint() const { return m_print; }
    /// Command1 … Command12, in whichever panel holds it; nullptr for another number.
    QPushButton *Command(int number) const;

    /// Writes the students 打印 would print (the print group's range, asked about as 打印 asks)
    /// as a PDF file chosen in the save dialog, without a printer.
    void printToPdf();

signals:
    /// The print window closed (退出 or the window's own close): show the editing windows
    /// again, enable the toolbar and close the sample page. Sent from inside the close event:
    /// a receiver that disposes of the window does so with deleteLater. A close asked for
    /// during a print run stops the run and takes effect once it has returned.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void loadSchemes();
    void selectScheme(const QString &text);
    void newScheme();
    void saveScheme();
    void print();
    void setPrintingControls(bool printing);
    /// Frames the item the page-setup panel edits, except in the preview.
    void showOutline();
    /// In the print panel, names the students of the range whose comment runs past its box.
    void updateFitWarning();
    void showPageForRun(bool printing);

    Session &m_session;
    Platform &m_platform;
    ps_paper *m_paper = nullptr;
    QtTextMeasurer m_measurer;
    LayoutScheme m_scheme;
    ComposedPage m_page;
    double m_scale = 0.75;
    PrintPanelMode m_mode = PrintPanelMode::Setup;
    bool m_closeAfterRun = false;
    /// The sample page as the teacher left it, shown again after a run.
    struct
    {
        QString scaleText;
        int student = 0;
        SelectedObject outline = SelectedObject::None;
    } m_beforeRun;
    bool m_closedEmitted = false;

    QComboBox *m_combo1 = nullptr;
    QComboBox *m_combo2 = nullptr;
    QComboBox *m_combo4 = nullptr;
    PageSetupPanel *m_setup = nullptr;
    PreviewPanel *m_preview = nullptr;
    PrintPanel *m_print = nullptr;
};
