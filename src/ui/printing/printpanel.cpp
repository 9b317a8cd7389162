#include "ui/printing/printpanel.h"

#include "core/document/session.h"
#include "core/platform/platform.h"
#include "core/printing/messages.h"
#include "core/printing/printrun.h"
#include "core/printing/printtarget.h"
#include "core/printing/schemeediting.h"
#include "ui/printing/panelparts.h"
#include "ui/printing/spinarrows.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Design geometry in twips, relative to the group.
using Twips::Box;

constexpr Box RangeLabelBox{240, 450, 1125, 270};
constexpr Box AllOptionBox{1380, 420, 900, 330};
constexpr Box CurrentOptionBox{2340, 420, 900, 330};
constexpr Box CopiesLabelBox{240, 930, 1125, 270};
constexpr Box CopiesBox{1380, 900, 720, 330};
constexpr Box CopiesArrowsBox{2100, 900, 255, 330};
constexpr Box PrintButtonBox{4080, 660, 1080, 420};
constexpr Box StopButtonBox{5280, 660, 1200, 420};
constexpr Box PrintExitBox{6600, 660, 1080, 420};
constexpr Box PdfButtonBox{4080, 1110, 3600, 390};

} // namespace

PrintPanel::PrintPanel(Session &session, Platform &platform, QWidget *parent)
    : QGroupBox(QStringLiteral("打印"), parent)
    , m_session(session)
    , m_platform(platform)
{
    using namespace PanelParts;
    setObjectName(QStringLiteral("jprint"));
    label(QStringLiteral("打印范围："), this, RangeLabelBox);
    m_option1 = new QRadioButton(QStringLiteral("全部"), this);
    m_option1->setObjectName(QStringLiteral("Option1"));
    place(m_option1, AllOptionBox);
    m_option1->setChecked(true);
    m_option2 = new QRadioButton(QStringLiteral("当前"), this);
    m_option2->setObjectName(QStringLiteral("Option2"));
    place(m_option2, CurrentOptionBox);
    label(QStringLiteral("打印份数："), this, CopiesLabelBox);
    m_copys = textBox(QStringLiteral("copys"), this);
    m_copys->setText(QStringLiteral("1"));
    place(m_copys, CopiesBox);
    m_upDown3 = new SpinArrows(this);
    m_upDown3->setObjectName(QStringLiteral("UpDown3"));
    place(m_upDown3, CopiesArrowsBox);
    m_command8 = command(8, QStringLiteral("打印"), this, PrintButtonBox);
    m_command9 = command(9, QStringLiteral("停止打印"), this, StopButtonBox);
    m_command10 = command(10, QStringLiteral("退出"), this, PrintExitBox);
    m_topdf = new QPushButton(QStringLiteral("打印到PDF文件..."), this);
    m_topdf->setObjectName(QStringLiteral("topdf"));
    place(m_topdf, PdfButtonBox);

    connect(m_upDown3, &SpinArrows::up, this,
            [this] { m_copys->setText(SchemeEditing::copiesStepped(m_copys->text(), true)); });
    connect(m_upDown3, &SpinArrows::down, this,
            [this] { m_copys->setText(SchemeEditing::copiesStepped(m_copys->text(), false)); });
    connect(m_command9, &QPushButton::clicked, this, &PrintPanel::stopPrinting);
}

void PrintPanel::chooseCurrentOnly()
{
    m_option2->setChecked(true);
    m_copys->setText(QStringLiteral("1"));
}

void PrintPanel::run(PrintTarget &printer, const LayoutScheme &scheme, const QString &pheightText,
                     const QString &pwidthText, const TextMeasurer &measurer)
{
    if (m_printing)
        return;
    PrintRunOptions options;
    options.range = m_option1->isChecked() ? PrintRange::All : PrintRange::Current;
    options.copiesText = m_copys->text();
    options.currentStudent = m_session.CurrentStudent();
    options.pheightText = pheightText;
    options.pwidthText = pwidthText;
    options.printerSetting = 2;
    m_printing = true;
    m_stopRequested = false;
    emit runningChanged(true);
    // Between documents the window stays alive, so that 停止打印 can be pressed.
    const PrintRunResult result = printRun(m_session.Document(), scheme, m_session.Document().ItemFonts,
                                           options, measurer, printer, [this](int, int) {
                                               QCoreApplication::processEvents();
                                               return m_stopRequested;
                                           });
    emit runningChanged(false);
    m_printing = false;
    if (!result.error.isEmpty())
        m_platform.messageBox(PrintMessages::PrintFailedMessage + result.error, Platform::NoticeTitle,
                              MsgIcon::Critical, MsgButtons::Ok);
}

void PrintPanel::setPrinting(bool printing)
{
    for (QWidget *widget :
         std::initializer_list<QWidget *>{m_option1, m_option2, m_copys, m_upDown3, m_command8, m_topdf})
        widget->setEnabled(!printing);
}

void PrintPanel::stopPrinting()
{
    if (m_platform.messageBox(PrintMessages::StopQuestion, Platform::QuestionTitle, MsgIcon::Question,
                              MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    if (PrintTarget *printer = m_platform.printer())
        printer->abandon();
    m_stopRequested = true;
}
