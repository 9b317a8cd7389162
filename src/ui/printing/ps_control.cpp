#include "ui/printing/ps_control.h"

#include "core/document/session.h"
#include "core/platform/platform.h"
#include "core/printing/messages.h"
#include "core/printing/pagesetup.h"
#include "core/printing/pdfcommand.h"
#include "core/printing/pdfexport.h"
#include "core/printing/printrun.h"
#include "core/printing/schemestore.h"
#include "ui/platform/accessiblenames.h"
#include "ui/printing/pagesetuppanel.h"
#include "ui/printing/panelparts.h"
#include "ui/printing/previewpanel.h"
#include "ui/printing/printpanel.h"
#include "ui/printing/sheetchoice.h"

#include <algorithm>

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace {

// Design geometry in twips, relative to the window.
using Twips::Box;

// The three boxes across the top.
constexpr Box SchemeLabelBox{120, 165, 900, 270};
constexpr Box SchemeBox{1020, 120, 2100, 330};
constexpr Box ScaleLabelBox{3240, 165, 900, 270};
constexpr Box ScaleBox{4140, 120, 960, 330};
constexpr Box ModeLabelBox{5220, 165, 900, 270};
constexpr Box ModeBox{6120, 120, 1560, 330};

// The panels below them, all standing where the page-setup panel stands.
constexpr int GroupLeft = 120;
constexpr int GroupTop = 510;
constexpr int GroupWidth = 7860;
constexpr int SetupGroupHeight = 3300;
constexpr int PreviewGroupHeight = 1380;
constexpr int PrintGroupHeight = 3630;

const QString ScaleTexts[3] = {QStringLiteral("100%"), QStringLiteral("75%"), QStringLiteral("50%")};
constexpr double Scales[3] = {1.0, 0.75, 0.5};

constexpr PrintPanelMode Modes[3] = {PrintPanelMode::Setup, PrintPanelMode::Preview, PrintPanelMode::Print};

} // namespace

ps_control::ps_control(Session &session, Platform &platform, ps_paper *paper, PrintPanelMode mode,
                       QWidget *parent)
    : QWidget(parent)
    , m_session(session)
    , m_platform(platform)
    , m_paper(paper)
    , m_mode(mode)
{
    setObjectName(QStringLiteral("ps_control"));
    // The window stands over the sample page: it paints its own background.
    setAutoFillBackground(true);
    setWindowTitle(QStringLiteral("打印设置"));
    buildControls();

    connect(m_paper, &ps_paper::objectClicked, this, &ps_control::selectObject);

    loadSchemes();
    m_preview->fillStudents();
    setMode(mode);
}

int ps_control::px(double twips) const
{
    return PanelParts::px(this, twips);
}

void ps_control::buildControls()
{
    using namespace PanelParts;
    QLabel *schemeLabel = label(QStringLiteral("打印方案"), this, SchemeLabelBox);
    m_combo1 = combo(QStringLiteral("Combo1"), this);
    place(m_combo1, SchemeBox);
    AccessibleNames::label(schemeLabel, m_combo1);
    QLabel *scaleLabel = label(QStringLiteral("显示比例"), this, ScaleLabelBox);
    m_combo2 = combo(QStringLiteral("Combo2"), this);
    AccessibleNames::label(scaleLabel, m_combo2);
    for (const QString &text : ScaleTexts)
        m_combo2->addItem(text);
    m_combo2->setCurrentText(QStringLiteral("75%"));
    place(m_combo2, ScaleBox);
    QLabel *modeLabel = label(QStringLiteral("选择界面"), this, ModeLabelBox);
    m_combo4 = combo(QStringLiteral("Combo4"), this);
    AccessibleNames::label(modeLabel, m_combo4);
    for (PrintPanelMode mode : Modes)
        m_combo4->addItem(modeText(mode));
    place(m_combo4, ModeBox);

    m_setup = new PageSetupPanel(m_session, m_platform, m_scheme, this);
    place(m_setup, {GroupLeft, GroupTop, GroupWidth, SetupGroupHeight});
    m_preview = new PreviewPanel(m_session, m_platform, this);
    place(m_preview, {GroupLeft, GroupTop, GroupWidth, PreviewGroupHeight});
    m_print = new PrintPanel(m_session, m_platform, this);
    place(m_print, {GroupLeft, GroupTop, GroupWidth, PrintGroupHeight});

    // The boxes react to a pick from their list and to typing, not to text set by the window.
    const auto onChange = [this](QComboBox *combo, void (ps_control::*handler)()) {
        connect(combo, &QComboBox::textActivated, this, handler);
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, handler);
    };
    onChange(m_combo1, &ps_control::Combo1Change);
    onChange(m_combo2, &ps_control::Combo2Change);
    onChange(m_combo4, &ps_control::Combo4Change);

    connect(m_setup, &PageSetupPanel::changed, this, &ps_control::compose);
    // Whoever moves the current student (the preview's arrows and box, a print run), the page
    // shows that student.
    connect(&m_session, &Session::currentStudentChanged, this, &ps_control::compose);
    connect(m_print, &PrintPanel::runningChanged, this, &ps_control::setPrintingControls);
    connect(m_print, &PrintPanel::runningChanged, this, &ps_control::showPageForRun);
    connect(m_setup->Command1(), &QPushButton::clicked, this, &ps_control::newScheme);
    connect(m_setup->Command2(), &QPushButton::clicked, this, &ps_control::saveScheme);
    // Each panel has its own 退出, and they all close the window alike.
    for (QPushButton *exit : {m_setup->Command3(), m_print->Command10(), m_preview->Command12()})
        connect(exit, &QPushButton::clicked, this, &QWidget::close);
    connect(m_preview->Command11(), &QPushButton::clicked, this, [this] {
        m_print->chooseCurrentOnly();
        print();
    });
    connect(m_print->Command8(), &QPushButton::clicked, this, &ps_control::print);
    connect(m_print, &PrintPanel::rangeChanged, this, &ps_control::updateFitWarning);
    connect(m_print->topdf(), &QPushButton::clicked, this, &ps_control::printToPdf);
    // 每张纸 shows in both panels: one follows the other, and the page shows the sheet.
    connect(m_print->sheets(), &SheetChoice::changed, this, [this] {
        m_preview->sheets()->follow(*m_print->sheets());
        compose();
    });
    connect(m_preview->sheets(), &SheetChoice::changed, this, [this] {
        m_print->sheets()->follow(*m_preview->sheets());
        compose();
    });

    // The keyboard steps the pages as the arrows do (not while a text box takes Home and End,
    // nor while a run holds the arrows), and Esc leaves as 退出 does.
    const std::pair<QKeySequence, QPushButton *> steps[] = {
        {Qt::Key_Home, m_preview->Command4()},
        {Qt::Key_PageUp, m_preview->Command5()},
        {Qt::Key_PageDown, m_preview->Command6()},
        {Qt::Key_End, m_preview->Command7()},
    };
    for (const auto &[keys, button] : steps)
        connect(new QShortcut(keys, this), &QShortcut::activated, button, &QPushButton::click);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);
}

QPushButton *ps_control::Command(int number) const
{
    if (number < 1 || number > 12)
        return nullptr;
    return findChild<QPushButton *>(QStringLiteral("Command%1").arg(number));
}

QString ps_control::modeText(PrintPanelMode mode)
{
    switch (mode) {
    case PrintPanelMode::Preview:
        return QStringLiteral("打印预览");
    case PrintPanelMode::Print:
        return QStringLiteral("打印");
    case PrintPanelMode::Setup:
        break;
    }
    return QStringLiteral("打印设置");
}

int ps_control::panelHeight(PrintPanelMode mode)
{
    switch (mode) {
    case PrintPanelMode::Preview:
        return 2440;
    case PrintPanelMode::Print:
        return 4570;
    case PrintPanelMode::Setup:
        break;
    }
    return 4245;
}

void ps_control::loadSchemes()
{
    const Result<QStringList> listed = SchemeStore(m_session).names();
    const QStringList names = listed.valueOr({});
    m_combo1->clear();
    m_combo1->addItems(names);
    if (!listed) {
        m_platform.messageBox(listed.error(), Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
    } else if (names.isEmpty()) {
        m_platform.messageBox(PrintMessages::NoSchemeMessage, Platform::NoticeTitle, MsgIcon::Exclamation,
                              MsgButtons::Ok);
    }
    if (names.isEmpty()) {
        // Nothing to select: the window opens on an empty scheme, from which 新方案 can start.
        m_scheme = LayoutScheme{};
        m_setup->clearScheme();
        compose();
        return;
    }
    // The window opens on the scheme the teacher chose last, else on the first.
    const qsizetype chosen = std::max<qsizetype>(names.indexOf(m_session.activeScheme()), 0);
    m_combo1->setCurrentIndex(int(chosen));
    selectScheme(names[chosen]);
}

void ps_control::setMode(PrintPanelMode mode)
{
    m_combo4->setEditText(modeText(mode));
    Combo4Change();
}

void ps_control::Combo4Change()
{
    const QString text = m_combo4->currentText().trimmed();
    for (PrintPanelMode mode : Modes) {
        if (text != modeText(mode))
            continue;
        m_mode = mode;
        setAccessibleName(modeText(mode)); // what a screen reader says as the window opens
        m_setup->setVisible(mode == PrintPanelMode::Setup);
        m_preview->setVisible(mode == PrintPanelMode::Preview);
        m_print->setVisible(mode == PrintPanelMode::Print);
        if (mode == PrintPanelMode::Preview)
            m_preview->showCurrentStudent();
        resize(px(PanelWidth), px(panelHeight(mode)));
        showOutline();
        compose(); // a whole sheet in preview and print, the page itself in setup
        return;
    }
}

void ps_control::Combo1Change()
{
    selectScheme(m_combo1->currentText());
}

void ps_control::selectScheme(const QString &text)
{
    bool listed = false;
    for (int i = 0; i < m_combo1->count() && !listed; ++i)
        listed = m_combo1->itemText(i) == text;
    if (!listed) {
        m_platform.messageBox(PrintMessages::UnknownSchemeMessage, AppTitle, MsgIcon::None, MsgButtons::Ok);
        return;
    }
    // What the window shows is what the class is printed, measured and drafted with.
    m_session.setActiveScheme(text);
    const Result<LayoutScheme> loaded = SchemeStore(m_session).load(text);
    if (loaded) {
        m_scheme = *loaded;
    } else {
        // The window shows an empty scheme of that name, from which 新方案 can start.
        m_scheme = LayoutScheme{};
        m_scheme.name = text;
        m_platform.messageBox(loaded.error(), Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
    }
    m_setup->showScheme();
    compose();
}

void ps_control::Combo2Change()
{
    const QString text = m_combo2->currentText().trimmed();
    for (int i = 0; i < 3; ++i) {
        if (text == ScaleTexts[i])
            m_scale = Scales[i];
    }
    // Any other text keeps the scale the page has.
    compose();
}

void ps_control::compose()
{
    // The paper's size is read from its boxes, applied or not.
    PageSetup setup =
        PageSetup::of(m_scheme, m_scale).withPaperSize(m_setup->pheight()->text(), m_setup->pwidth()->text());
    setup.className = QFileInfo(m_session.CurrentPath()).completeBaseName();
    m_page = composePage(m_session.Document(), m_session.CurrentStudent(), m_session.Document().ItemFonts,
                         setup, m_measurer);
    if (!showSheet(setup))
        m_paper->setPage(m_page);
    updateFitWarning();
    // The student box names the student on the page; so does the page to a screen reader.
    m_preview->showCurrentStudent();
    m_paper->setAccessibleDescription(
        m_session.Document().slot(std::max(m_session.CurrentStudent(), 0) + 1).name);
}

bool ps_control::showSheet(const PageSetup &setup)
{
    // Placing items needs the page itself: sheets show when previewing and printing.
    const SheetChoice &choice = *m_print->sheets();
    if (m_mode == PrintPanelMode::Setup || choice.perSheet() <= 1)
        return false;
    // The sheet the current student is printed on, in a run of the whole class: what 打印当前 prints.
    const CommentDocument &document = m_session.Document();
    const QList<int> students = sheetOf(document, m_session.CurrentStudent(), choice.perSheet());
    if (students.isEmpty())
        return false;
    QList<ComposedPage> pages;
    for (const int student : students)
        pages.append(composePage(document, student, document.ItemFonts, setup, m_measurer));
    const PageTwips sheet = sheetSize({});
    const SheetLayout layout = sheetLayout(QSizeF(sheet.width * m_scale, sheet.height * m_scale),
                                           QSizeF(m_page.width, m_page.height), choice.perSheet());
    m_paper->setSheet(pages, layout, choice.cutLines());
    return true;
}

SelectedObject ps_control::selectedObject() const
{
    return m_setup->selectedObject();
}

void ps_control::selectObject(SelectedObject object)
{
    m_setup->selectObject(object);
    showOutline();
    setFocus(Qt::MouseFocusReason);
}

void ps_control::showOutline()
{
    // The frame marks what the page-setup panel edits; the preview shows the page as it prints.
    m_paper->setOutline(m_mode == PrintPanelMode::Preview ? SelectedObject::None : m_setup->selectedObject());
}

void ps_control::updateFitWarning()
{
    // Only the print panel shows it; switching to it composes the page, which comes here.
    if (m_mode == PrintPanelMode::Print && !m_print->isPrinting())
        m_print->updateFitWarning(m_scheme, m_measurer);
}

void ps_control::newScheme()
{
    // Schemes are looked up by their trimmed name, so that is the name a new one gets; a name
    // of blanks only is no name at all.
    const QString name =
        m_platform.inputBox(PrintMessages::NewSchemePrompt, Platform::QuestionTitle, QString()).trimmed();
    if (name.isEmpty())
        return;
    const Result<void> appended = SchemeStore(m_session).append(name, m_scheme);
    if (!appended) {
        m_platform.messageBox(appended.error(), Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    m_combo1->addItem(name);
    m_combo1->setCurrentIndex(m_combo1->count() - 1);
    selectScheme(name);
}

void ps_control::saveScheme()
{
    const Result<void> saved = SchemeStore(m_session).save(m_combo1->currentText(), m_scheme);
    if (saved)
        m_platform.messageBox(PrintMessages::SavedMessage, Platform::NoticeTitle, MsgIcon::None,
                              MsgButtons::Ok);
    else
        m_platform.messageBox(saved.error(), Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
}

bool ps_control::isPrinting() const
{
    return m_print->isPrinting();
}

void ps_control::print()
{
    if (m_print->isPrinting())
        return;
    m_print->run(m_scheme, m_setup->pheight()->text(), m_setup->pwidth()->text(), m_measurer);
    if (m_closeAfterRun) {
        m_closeAfterRun = false;
        close();
    }
}

void ps_control::showPageForRun(bool printing)
{
    // A run prints at full size: the sample page shows it so, without outline, while it lasts.
    // Only a run that really starts changes the page, so none of the messages before it stands
    // in front of a page the teacher did not ask for.
    if (printing) {
        m_beforeRun = {m_combo2->currentText(), m_session.CurrentStudent(), m_paper->outline()};
        m_combo2->setEditText(ScaleTexts[0]);
        Combo2Change();
        m_paper->setOutline(SelectedObject::None);
        return;
    }
    m_session.setCurrentStudent(m_beforeRun.student);
    m_combo2->setEditText(m_beforeRun.scaleText);
    Combo2Change();
    m_paper->setOutline(m_beforeRun.outline);
}

void ps_control::setPrintingControls(bool printing)
{
    // During a run only 停止打印 and the 退出 buttons answer; the sample page takes no clicks either.
    for (QWidget *widget : std::initializer_list<QWidget *>{m_combo1, m_combo2, m_combo4, m_setup})
        widget->setEnabled(!printing);
    m_preview->setPrinting(printing);
    m_print->setPrinting(printing);
    m_paper->setEnabled(!printing);
}

void ps_control::showEvent(QShowEvent *event)
{
    m_closedEmitted = false;
    QWidget::showEvent(event);
}

void ps_control::closeEvent(QCloseEvent *event)
{
    if (m_print->isPrinting()) {
        // The run is still using the window: stop it, and close once it has returned.
        m_print->requestStop();
        m_closeAfterRun = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
    if (!m_closedEmitted) {
        m_closedEmitted = true;
        emit closed();
    }
}

void ps_control::printToPdf()
{
    // The students 打印 would print, asked about alike.
    const QList<int> students = m_print->chosenStudents(m_scheme, m_measurer);
    if (students.isEmpty())
        return;
    const SheetChoice &choice = *m_print->sheets();
    SheetOptions sheets;
    sheets.perSheet = choice.perSheet();
    sheets.cutLines = choice.cutLines();
    PdfCommand::saveClassPdf(m_session.Document(), students, m_scheme, m_measurer, m_platform,
                             m_session.namedPath(), sheets);
}
