#include "ui/printing/printpanel.h"

#include "core/document/commentdocument.h"
#include "core/document/session.h"
#include "core/platform/platform.h"
#include "core/printing/fitcheck.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/messages.h"
#include "core/printing/printrun.h"
#include "core/printing/printtarget.h"
#include "core/printing/schemeediting.h"
#include "ui/platform/accessiblenames.h"
#include "ui/printing/panelparts.h"
#include "ui/printing/sheetchoice.h"
#include "ui/printing/spinarrows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

namespace {

// Design geometry in twips, relative to the group. Each row of the group is 450 twips high.
using Twips::Box;

constexpr Box PrinterLabelBox{240, 420, 1125, 270};
constexpr Box PrinterBox{1380, 390, 4560, 330};
constexpr Box PropertiesButtonBox{6060, 360, 1620, 390};
constexpr Box RangeLabelBox{240, 900, 1125, 270};
constexpr Box AllOptionBox{1380, 870, 900, 330};
constexpr Box CurrentOptionBox{2340, 870, 900, 330};
constexpr Box FromOptionBox{3300, 870, 660, 330};
constexpr Box FromBox{3960, 870, 840, 330};
constexpr Box ToLabelBox{4860, 900, 300, 270};
constexpr Box ToBox{5220, 870, 840, 330};
constexpr Box OnlyWrittenBox{240, 1320, 3600, 330};
constexpr Box OneJobBox{3960, 1320, 3720, 330};
constexpr Box CopiesLabelBox{240, 1800, 1125, 270};
constexpr Box CopiesBox{1380, 1770, 720, 330};
constexpr Box CopiesArrowsBox{2100, 1770, 255, 330};
constexpr Box PrintButtonBox{4080, 1710, 1080, 420};
constexpr Box StopButtonBox{5280, 1710, 1200, 420};
constexpr Box PrintExitBox{6600, 1710, 1080, 420};
constexpr Box ProgressBox{240, 2250, 3720, 330};
constexpr Box PdfButtonBox{4080, 2220, 3600, 390};
constexpr Box SheetChoiceBox{240, 2730, 4500, 330};
constexpr Box FitWarningBox{240, 3180, 7440, 330};

/// Runs of more students than this show their progress.
constexpr int QuietRun = 3;

QSpinBox *positionBox(const QString &name, QWidget *parent, const Box &box)
{
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(1, CommentDocument::MaxStudents);
    PanelParts::place(spin, box);
    return spin;
}

QCheckBox *checkBox(const QString &name, const QString &text, QWidget *parent, const Box &box)
{
    auto *check = new QCheckBox(text, parent);
    check->setObjectName(name);
    PanelParts::place(check, box);
    return check;
}

} // namespace

PrintPanel::PrintPanel(Session &session, Platform &platform, QWidget *parent)
    : QGroupBox(QStringLiteral("打印"), parent)
    , m_session(session)
    , m_platform(platform)
{
    using namespace PanelParts;
    setObjectName(QStringLiteral("jprint"));
    QLabel *printerLabel = label(QStringLiteral("打印机："), this, PrinterLabelBox);
    m_printers = new QComboBox(this);
    m_printers->setObjectName(QStringLiteral("printerBox"));
    AccessibleNames::label(printerLabel, m_printers);
    place(m_printers, PrinterBox);
    m_properties = new QPushButton(QStringLiteral("属性..."), this);
    m_properties->setObjectName(QStringLiteral("properties"));
    place(m_properties, PropertiesButtonBox);

    label(QStringLiteral("打印范围："), this, RangeLabelBox);
    m_option1 = new QRadioButton(QStringLiteral("全部"), this);
    m_option1->setObjectName(QStringLiteral("Option1"));
    place(m_option1, AllOptionBox);
    m_option1->setChecked(true);
    m_option2 = new QRadioButton(QStringLiteral("当前"), this);
    m_option2->setObjectName(QStringLiteral("Option2"));
    place(m_option2, CurrentOptionBox);
    m_option3 = new QRadioButton(QStringLiteral("从"), this);
    m_option3->setObjectName(QStringLiteral("Option3"));
    place(m_option3, FromOptionBox);
    m_from = positionBox(QStringLiteral("fromStudent"), this, FromBox);
    AccessibleNames::name(m_from, QStringLiteral("从"));
    QLabel *toLabel = label(QStringLiteral("到"), this, ToLabelBox);
    m_to = positionBox(QStringLiteral("toStudent"), this, ToBox);
    AccessibleNames::label(toLabel, m_to);
    m_onlyWritten =
        checkBox(QStringLiteral("onlyWritten"), QStringLiteral("只打印已写评语的学生"), this, OnlyWrittenBox);
    m_oneJob = checkBox(QStringLiteral("oneJob"), QStringLiteral("合并为一个打印任务"), this, OneJobBox);

    QLabel *copiesLabel = label(QStringLiteral("打印份数："), this, CopiesLabelBox);
    m_copys = textBox(QStringLiteral("copys"), this);
    AccessibleNames::label(copiesLabel, m_copys);
    m_copys->setText(QStringLiteral("1"));
    place(m_copys, CopiesBox);
    m_upDown3 = new SpinArrows(this);
    m_upDown3->setObjectName(QStringLiteral("UpDown3"));
    place(m_upDown3, CopiesArrowsBox);
    m_command8 = command(8, QStringLiteral("打印"), this, PrintButtonBox);
    m_command9 = command(9, QStringLiteral("停止打印"), this, StopButtonBox);
    m_command10 = command(10, QStringLiteral("退出"), this, PrintExitBox);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setFormat(QStringLiteral("%v / %m"));
    place(m_progress, ProgressBox);
    m_progress->hide();
    m_topdf = new QPushButton(QStringLiteral("打印到PDF文件..."), this);
    m_topdf->setObjectName(QStringLiteral("topdf"));
    place(m_topdf, PdfButtonBox);

    m_sheets = new SheetChoice(this);
    m_sheets->setObjectName(QStringLiteral("printSheets"));
    place(m_sheets, SheetChoiceBox);

    m_fitWarning = new QLabel(this);
    m_fitWarning->setObjectName(QStringLiteral("fitWarning"));
    // As the editor's warning of one comment.
    m_fitWarning->setStyleSheet(QStringLiteral("color: #c0392b; font-weight: bold;"));
    place(m_fitWarning, FitWarningBox);
    m_fitWarning->hide();

    fillPrinters();
    const int students = std::max(session.Document().studentCount(), 1);
    m_from->setValue(1);
    m_to->setValue(students);

    connect(m_upDown3, &SpinArrows::up, this,
            [this] { m_copys->setText(SchemeEditing::copiesStepped(m_copys->text(), true)); });
    connect(m_upDown3, &SpinArrows::down, this,
            [this] { m_copys->setText(SchemeEditing::copiesStepped(m_copys->text(), false)); });
    connect(m_command9, &QPushButton::clicked, this, &PrintPanel::stopPrinting);
    connect(m_properties, &QPushButton::clicked, this, &PrintPanel::showProperties);
    connect(m_printers, &QComboBox::activated, this, [this] { m_platform.rememberPrinter(printerName()); });
    // Choosing a position means printing from … to ….
    for (QSpinBox *box : {m_from, m_to}) {
        connect(box, &QSpinBox::valueChanged, this, [this] { m_option3->setChecked(true); });
        connect(box, &QSpinBox::valueChanged, this, &PrintPanel::rangeChanged);
    }
    for (QAbstractButton *button : std::initializer_list<QAbstractButton *>{m_option1, m_option2, m_option3,
                                                                            m_onlyWritten})
        connect(button, &QAbstractButton::toggled, this, &PrintPanel::rangeChanged);
    connect(m_sheets, &SheetChoice::changed, this, &PrintPanel::rangeChanged);
}

void PrintPanel::fillPrinters()
{
    m_printers->clear();
    const QStringList names = m_platform.printerNames();
    const QString preferred = m_platform.defaultPrinterName();
    for (const QString &name : names)
        m_printers->addItem(name == preferred ? name + QStringLiteral("（默认）") : name, name);
    if (names.isEmpty())
        m_printers->addItem(QStringLiteral("（没有可用的打印机）"));
    const int remembered = m_printers->findData(m_platform.rememberedPrinter());
    m_printers->setCurrentIndex(remembered >= 0 ? remembered : 0);
    m_printers->setEnabled(!names.isEmpty());
    m_properties->setEnabled(!names.isEmpty());
}

QString PrintPanel::printerName() const
{
    return m_printers->currentData().toString();
}

void PrintPanel::chooseCurrentOnly()
{
    m_option2->setChecked(true);
    m_copys->setText(QStringLiteral("1"));
}

PrintRunOptions PrintPanel::options() const
{
    PrintRunOptions options;
    options.range = m_option1->isChecked()   ? PrintRange::All
                    : m_option2->isChecked() ? PrintRange::Current
                                             : PrintRange::FromTo;
    options.from = m_from->value();
    options.to = m_to->value();
    options.onlyWritten = m_onlyWritten->isChecked();
    options.oneJob = m_oneJob->isChecked();
    options.perSheet = m_sheets->perSheet();
    options.cutLines = m_sheets->cutLines();
    options.copiesText = m_copys->text();
    options.currentStudent = m_session.CurrentStudent();
    options.className = QFileInfo(m_session.CurrentPath()).completeBaseName();
    return options;
}

void PrintPanel::run(const LayoutScheme &scheme, const QString &pheightText, const QString &pwidthText,
                     const TextMeasurer &measurer)
{
    if (m_printing)
        return;
    const QString name = printerName();
    PrintTarget *printer = m_platform.printer(name);
    if (!printer) {
        m_platform.messageBox(PrintMessages::NoPrinterMessage, Platform::NoticeTitle, MsgIcon::Exclamation,
                              MsgButtons::Ok);
        return;
    }
    PrintRunOptions options = this->options();
    options.pheightText = pheightText;
    options.pwidthText = pwidthText;
    // No copies print nothing, and need no word.
    if (!confirmStudents(options, copiesFrom(options.copiesText) > 0, scheme, measurer))
        return;

    const CommentDocument &document = m_session.Document();
    m_printing = true;
    m_stopRequested = false;
    m_closing = false;
    emit runningChanged(true);
    // The window stays alive between pages, so that 停止打印 can be pressed; a longer run shows
    // how far it has come.
    const PrintRunResult result = printRun(document, scheme, document.ItemFonts, options, measurer, *printer,
                                           [this](int done, int total) {
                                               if (total > QuietRun) {
                                                   m_progress->setMaximum(total);
                                                   m_progress->setValue(done);
                                                   m_progress->show();
                                               }
                                               QCoreApplication::processEvents();
                                               return m_stopRequested;
                                           });
    m_progress->hide();
    emit runningChanged(false);
    m_printing = false;
    const QString shownName = name.isEmpty() ? m_platform.defaultPrinterName() : name;
    if (!result.error.isEmpty()) {
        m_platform.messageBox(PrintMessages::PrintFailedMessage + result.error, Platform::NoticeTitle,
                              MsgIcon::Critical, MsgButtons::Ok);
    } else if (result.stopped && !m_closing) {
        m_platform.messageBox(PrintMessages::StoppedMessage.arg(result.pages).arg(shownName),
                              Platform::NoticeTitle, MsgIcon::Information, MsgButtons::Ok);
    } else if (!result.stopped && result.pages > 0) {
        m_platform.messageBox(PrintMessages::PrintedMessage.arg(result.pages).arg(shownName),
                              Platform::NoticeTitle, MsgIcon::Information, MsgButtons::Ok);
    }
}

bool PrintPanel::confirmStudents(PrintRunOptions &options, bool sayWhenNobody, const LayoutScheme &scheme,
                                 const TextMeasurer &measurer)
{
    const CommentDocument &document = m_session.Document();
    const QList<int> students = printedStudents(document, options);
    if (students.isEmpty()) {
        if (sayWhenNobody)
            m_platform.messageBox(PrintMessages::NobodyToPrintMessage, Platform::NoticeTitle,
                                  MsgIcon::Exclamation, MsgButtons::Ok);
        return false;
    }
    // An empty comment prints a page with only a name and a signature: ask first. The range's
    // own students are asked about; the others on a one student's sheet print as shown.
    PrintRunOptions ownStudents = options;
    ownStudents.perSheet = 1;
    if (const int empty = emptyComments(document, printedStudents(document, ownStudents));
        empty > 0 && options.range != PrintRange::Current) {
        switch (m_platform.messageBox(PrintMessages::EmptyCommentsQuestion.arg(empty),
                                      Platform::QuestionTitle, MsgIcon::Question, MsgButtons::YesNoCancel)) {
        case MsgAnswer::Yes:
            break;
        case MsgAnswer::No:
            options.onlyWritten = true;
            if (printedStudents(document, options).isEmpty())
                return false;
            break;
        default:
            return false;
        }
    }
    // A comment past its box prints over the signature or the date: one question for the run.
    const QList<FitCheck::PastBox> past =
        FitCheck::studentsPastBox(document, printedStudents(document, options), scheme, measurer);
    return past.isEmpty() ||
           m_platform.messageBox(PrintMessages::PastBoxQuestion.arg(past.size()), Platform::QuestionTitle,
                                 MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
}

QList<int> PrintPanel::chosenStudents(const LayoutScheme &scheme, const TextMeasurer &measurer)
{
    PrintRunOptions options = this->options();
    if (!confirmStudents(options, true, scheme, measurer))
        return {};
    return printedStudents(m_session.Document(), options);
}

void PrintPanel::updateFitWarning(const LayoutScheme &scheme, const TextMeasurer &measurer)
{
    const CommentDocument &document = m_session.Document();
    const QList<FitCheck::PastBox> past =
        FitCheck::studentsPastBox(document, printedStudents(document, options()), scheme, measurer);
    m_fitWarning->setVisible(!past.isEmpty());
    if (past.isEmpty())
        return;
    QStringList names;
    QString tip = PrintMessages::PastBoxTip.arg(scheme.name);
    for (const FitCheck::PastBox &student : past) {
        const QString &name = document.slot(student.student + 1).name;
        names << (name.isEmpty() ? PrintMessages::PastBoxUnnamed.arg(student.student + 1) : name);
        tip += u'\n' + PrintMessages::PastBoxTipLine.arg(names.last(), FitCheck::pastText(student.lines));
    }
    // As many names as the line holds; the tip lists them all.
    const QString text = PrintMessages::PastBoxWarning.arg(past.size()).arg(names.join(u'、'));
    m_fitWarning->ensurePolished(); // the style sheet's bold face measures the text
    m_fitWarning->setText(m_fitWarning->fontMetrics().elidedText(text, Qt::ElideRight, m_fitWarning->width()));
    m_fitWarning->setToolTip(tip);
}

void PrintPanel::showProperties()
{
    const PrintRunOptions asked = options();
    PrintJobChoice shown;
    shown.range = asked.range == PrintRange::All       ? PrintJobChoice::Range::All
                  : asked.range == PrintRange::Current ? PrintJobChoice::Range::Current
                                                       : PrintJobChoice::Range::FromTo;
    shown.from = asked.from;
    shown.to = asked.to;
    shown.last = std::max(m_session.Document().studentCount(), 1);
    shown.copies = std::max(copiesFrom(asked.copiesText), 1);
    const std::optional<PrintJobChoice> chosen = m_platform.printerProperties(printerName(), shown);
    if (!chosen)
        return;
    switch (chosen->range) {
    case PrintJobChoice::Range::All:
        m_option1->setChecked(true);
        break;
    case PrintJobChoice::Range::Current:
        m_option2->setChecked(true);
        break;
    case PrintJobChoice::Range::FromTo:
        m_from->setValue(chosen->from);
        m_to->setValue(chosen->to);
        m_option3->setChecked(true);
        break;
    }
    // A copies text the dialog could not show stays as typed unless the dialog changed it.
    if (chosen->copies != shown.copies)
        m_copys->setText(QString::number(chosen->copies));
}

void PrintPanel::setPrinting(bool printing)
{
    for (QWidget *widget : std::initializer_list<QWidget *>{m_printers, m_properties, m_option1, m_option2,
                                                            m_option3, m_from, m_to, m_onlyWritten, m_oneJob,
                                                            m_copys, m_upDown3, m_command8, m_topdf})
        widget->setEnabled(!printing);
    if (!printing) { // without a printer there is nothing to choose
        m_printers->setEnabled(!printerName().isEmpty());
        m_properties->setEnabled(!printerName().isEmpty());
    }
}

void PrintPanel::stopPrinting()
{
    if (m_platform.messageBox(PrintMessages::StopQuestion, Platform::QuestionTitle, MsgIcon::Question,
                              MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    // The run abandons the document in progress before its next page.
    m_stopRequested = true;
}
