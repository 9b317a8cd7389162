#include "ui/printing/ps_control.h"

#include "core/document/appstate.h"
#include "core/platform/platform.h"
#include "core/platform/twips.h"
#include "core/printing/layoutschemefile.h"
#include "core/printing/pagesetup.h"
#include "core/printing/pdfexport.h"
#include "core/printing/printrun.h"
#include "core/printing/printtarget.h"
#include "core/printing/schemeediting.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>


namespace {

// Design geometry in twips, relative to the control's container.
using Twips::Box;

// The three boxes across the top.
constexpr Box SchemeLabelBox{120, 165, 900, 270};
constexpr Box SchemeBox{1020, 120, 2100, 330};
constexpr Box ScaleLabelBox{3240, 165, 900, 270};
constexpr Box ScaleBox{4140, 120, 960, 330};
constexpr Box ModeLabelBox{5220, 165, 900, 270};
constexpr Box ModeBox{6120, 120, 1560, 330};

// The groups below them, all standing where the page-setup group stands.
constexpr int GroupLeft = 120;
constexpr int GroupTop = 510;
constexpr int GroupWidth = 7860;
constexpr int SetupGroupHeight = 3300;
constexpr int PreviewGroupHeight = 1140;
constexpr int PrintGroupHeight = 1560;

// Page setup: paper size, line spacing, the item frame, buttons and hint.
constexpr Box PaperFrameBox{120, 300, 2520, 1260};
constexpr int PaperRowTops[2] = {360, 810};
constexpr int PaperLabelWidth = 660;
constexpr int PaperBoxWidth = 840;
constexpr int SpacingRowLeft = 120;
constexpr int SpacingRowTop = 1710;
constexpr int SpacingLabelWidth = 1050;
constexpr int SpacingBoxWidth = 720;
constexpr Box ObjectFrameBox{2790, 300, 4950, 1860};
constexpr int ObjectRowTops[2] = {360, 810};
constexpr int ObjectColumnLefts[2] = {120, 2595};
constexpr int ObjectLabelWidth = 840;
constexpr int ObjectBoxWidth = 660;
constexpr Box FontButtonBox{120, 1260, 1500, 390};
constexpr Box CurrentLabelBox{1800, 1320, 1080, 270};
constexpr Box SelectedLabelBox{2880, 1320, 1950, 270};
constexpr Box NewSchemeBox{120, 2220, 1200, 390};
constexpr Box SaveSchemeBox{1440, 2220, 1200, 390};
constexpr Box HintBox{120, 2580, 6240, 660};
constexpr Box SetupExitBox{6480, 2700, 1200, 390};

// A row of label, box, arrows and "厘米", relative to the row's left and top.
constexpr int RowBoxHeight = 330;
constexpr int RowLabelDrop = 30;
constexpr int ArrowsWidth = 255;
constexpr int UnitGap = 60;
constexpr int UnitWidth = 420;

// Preview.
constexpr Box StudentBox{240, 420, 2280, 330};
constexpr Box NavigationBoxes[4] = {
    {2700, 390, 600, 390}, {3360, 390, 600, 390}, {4020, 390, 600, 390}, {4680, 390, 600, 390}};
constexpr Box PrintCurrentBox{5400, 390, 1080, 390};
constexpr Box PreviewExitBox{6600, 390, 1080, 390};

// Print.
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

constexpr int MaxNamedStudents = 100;

const QString ScaleTexts[3] = {QStringLiteral("100%"), QStringLiteral("75%"), QStringLiteral("50%")};
constexpr double Scales[3] = {1.0, 0.75, 0.5};

QString selectedText(SelectedObject object)
{
    switch (object) {
    case SelectedObject::StudentName:
        return QStringLiteral("“学生姓名：”");
    case SelectedObject::CommentText:
        return QStringLiteral("“评语正文”");
    case SelectedObject::Signature:
        return QStringLiteral("“教师签名”");
    case SelectedObject::None:
        break;
    }
    return QStringLiteral("未选中任何对象");
}

QComboBox *makeCombo(const QString &name, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // Typed text is taken letter by letter as it stands; completion would change it.
    combo->setCompleter(nullptr);
    return combo;
}

} // namespace

SpinArrows::SpinArrows(QWidget *parent) : QWidget(parent)
{
    m_up = new QToolButton(this);
    m_up->setObjectName(QStringLiteral("up"));
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton(this);
    m_down->setObjectName(QStringLiteral("down"));
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton *button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_up, &QToolButton::clicked, this, &SpinArrows::up);
    connect(m_down, &QToolButton::clicked, this, &SpinArrows::down);
}

void SpinArrows::resizeEvent(QResizeEvent *)
{
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

ps_control::ps_control(AppState &state, Platform &platform, ps_paper *paper, PrintPanelMode mode,
                       QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_platform(platform)
    , m_paper(paper)
    , m_mode(mode)
{
    setObjectName(QStringLiteral("ps_control"));
    // The panel stands over the sample page: it paints its own background.
    setAutoFillBackground(true);
    setWindowTitle(QStringLiteral("打印设置"));
    buildControls();

    connect(m_paper, &ps_paper::objectClicked, this, &ps_control::selectObject);

    loadSchemes();
    fillStudents();
    setMode(mode);
}

int ps_control::px(double twips) const
{
    return Twips::toPixels(twips, logicalDpiY());
}

void ps_control::buildControls()
{
    const auto place = [this](QWidget *widget, const Box &box) {
        widget->setGeometry(px(box.left), px(box.top), px(box.width), px(box.height));
    };
    const auto label = [&](const QString &text, QWidget *parent, const Box &box) {
        auto *result = new QLabel(text, parent);
        place(result, box);
        return result;
    };
    const auto button = [&](int number, const QString &text, QWidget *parent, const Box &box) {
        auto *result = new QPushButton(text, parent);
        result->setObjectName(QStringLiteral("Command%1").arg(number));
        place(result, box);
        m_commands[number - 1] = result;
        return result;
    };
    const auto box = [&](const QString &name, QWidget *parent) {
        auto *result = new QLineEdit(parent);
        result->setObjectName(name);
        return result;
    };
    const auto arrows = [&](const QString &name, QWidget *parent) {
        auto *result = new SpinArrows(parent);
        result->setObjectName(name);
        return result;
    };
    // Label, box, arrows and "厘米" on one row.
    const auto row = [&](QWidget *parent, int left, int top, int labelWidth, int boxWidth,
                         const QString &caption, QLineEdit *edit, SpinArrows *spin) {
        label(caption, parent, {left, top + RowLabelDrop, labelWidth, RowBoxHeight - RowLabelDrop});
        place(edit, {left + labelWidth, top, boxWidth, RowBoxHeight});
        place(spin, {left + labelWidth + boxWidth, top, ArrowsWidth, RowBoxHeight});
        label(QStringLiteral("厘米"), parent,
              {left + labelWidth + boxWidth + ArrowsWidth + UnitGap, top + RowLabelDrop, UnitWidth,
               RowBoxHeight - RowLabelDrop});
    };

    label(QStringLiteral("打印方案"), this, SchemeLabelBox);
    m_combo1 = makeCombo(QStringLiteral("Combo1"), this);
    place(m_combo1, SchemeBox);
    label(QStringLiteral("显示比例"), this, ScaleLabelBox);
    m_combo2 = makeCombo(QStringLiteral("Combo2"), this);
    for (const QString &text : ScaleTexts)
        m_combo2->addItem(text);
    m_combo2->setCurrentText(QStringLiteral("75%"));
    place(m_combo2, ScaleBox);
    label(QStringLiteral("选择界面"), this, ModeLabelBox);
    m_combo4 = makeCombo(QStringLiteral("Combo4"), this);
    for (PrintPanelMode mode : {PrintPanelMode::Setup, PrintPanelMode::Preview, PrintPanelMode::Print})
        m_combo4->addItem(modeText(mode));
    place(m_combo4, ModeBox);

    // Page setup.
    m_jpapersetup = new QGroupBox(QStringLiteral("页面设置"), this);
    m_jpapersetup->setObjectName(QStringLiteral("jpapersetup"));
    place(m_jpapersetup, {GroupLeft, GroupTop, GroupWidth, SetupGroupHeight});
    auto *paperFrame = new QGroupBox(QStringLiteral("纸张大小"), m_jpapersetup);
    paperFrame->setObjectName(QStringLiteral("paperFrame"));
    place(paperFrame, PaperFrameBox);
    m_pheight = box(QStringLiteral("pheight"), paperFrame);
    m_upDown1 = arrows(QStringLiteral("UpDown1"), paperFrame);
    row(paperFrame, 120, PaperRowTops[0], PaperLabelWidth, PaperBoxWidth, QStringLiteral("高度："), m_pheight,
        m_upDown1);
    m_pwidth = box(QStringLiteral("pwidth"), paperFrame);
    m_upDown2 = arrows(QStringLiteral("UpDown2"), paperFrame);
    row(paperFrame, 120, PaperRowTops[1], PaperLabelWidth, PaperBoxWidth, QStringLiteral("宽度："), m_pwidth,
        m_upDown2);
    m_pjuli = box(QStringLiteral("pjuli"), m_jpapersetup);
    m_upDown4 = arrows(QStringLiteral("UpDown4"), m_jpapersetup);
    row(m_jpapersetup, SpacingRowLeft, SpacingRowTop, SpacingLabelWidth, SpacingBoxWidth, QStringLiteral("正文行距："),
        m_pjuli, m_upDown4);

    auto *objectFrame = new QGroupBox(QStringLiteral("设置对象格式"), m_jpapersetup);
    objectFrame->setObjectName(QStringLiteral("objectFrame"));
    place(objectFrame, ObjectFrameBox);
    m_theight = box(QStringLiteral("theight"), objectFrame);
    m_twt = arrows(QStringLiteral("twt"), objectFrame);
    row(objectFrame, ObjectColumnLefts[0], ObjectRowTops[0], ObjectLabelWidth, ObjectBoxWidth, QStringLiteral("高度："),
        m_theight, m_twt);
    m_twidth = box(QStringLiteral("twidth"), objectFrame);
    m_tht = arrows(QStringLiteral("tht"), objectFrame);
    row(objectFrame, ObjectColumnLefts[1], ObjectRowTops[0], ObjectLabelWidth, ObjectBoxWidth, QStringLiteral("宽度："),
        m_twidth, m_tht);
    m_ttop = box(QStringLiteral("ttop"), objectFrame);
    m_ttt = arrows(QStringLiteral("ttt"), objectFrame);
    row(objectFrame, ObjectColumnLefts[0], ObjectRowTops[1], ObjectLabelWidth, ObjectBoxWidth, QStringLiteral("上边距："),
        m_ttop, m_ttt);
    m_tleft = box(QStringLiteral("tleft"), objectFrame);
    m_tlt = arrows(QStringLiteral("tlt"), objectFrame);
    row(objectFrame, ObjectColumnLefts[1], ObjectRowTops[1], ObjectLabelWidth, ObjectBoxWidth, QStringLiteral("左边距："),
        m_tleft, m_tlt);
    m_tfont = new QPushButton(QStringLiteral("字体属性..."), objectFrame);
    m_tfont->setObjectName(QStringLiteral("tfont"));
    place(m_tfont, FontButtonBox);
    label(QStringLiteral("当前对象："), objectFrame, CurrentLabelBox);
    m_selectedLabel = label(selectedText(SelectedObject::None), objectFrame, SelectedLabelBox);
    m_selectedLabel->setObjectName(QStringLiteral("selected"));

    button(1, QStringLiteral("新方案..."), m_jpapersetup, NewSchemeBox);
    button(2, QStringLiteral("保存修改"), m_jpapersetup, SaveSchemeBox);
    button(3, QStringLiteral("退出"), m_jpapersetup, SetupExitBox);
    QLabel *hint = label(QStringLiteral("请在样张上选择一个对象，然后调整它的大小、位置以及字体等。手工输入请按回车确认。"),
                         m_jpapersetup, HintBox);
    hint->setObjectName(QStringLiteral("hint"));
    hint->setWordWrap(true);
    QPalette red = hint->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    hint->setPalette(red);

    // The item boxes wait for a click on the sample page.
    for (QWidget *widget : std::initializer_list<QWidget *>{m_theight, m_twidth, m_ttop, m_tleft, m_twt, m_tht,
                                                             m_ttt, m_tlt, m_tfont})
        widget->setEnabled(false);

    // Preview.
    m_jprivew = new QGroupBox(QStringLiteral("打印预览"), this);
    m_jprivew->setObjectName(QStringLiteral("jprivew"));
    place(m_jprivew, {GroupLeft, GroupTop, GroupWidth, PreviewGroupHeight});
    m_combo3 = makeCombo(QStringLiteral("Combo3"), m_jprivew);
    place(m_combo3, StudentBox);
    const QString arrowsText[4] = {QStringLiteral("|←"), QStringLiteral("←"), QStringLiteral("→"),
                                   QStringLiteral("→|")};
    for (int i = 0; i < 4; ++i)
        button(4 + i, arrowsText[i], m_jprivew, NavigationBoxes[i]);
    button(11, QStringLiteral("打印当前"), m_jprivew, PrintCurrentBox);
    button(12, QStringLiteral("退出"), m_jprivew, PreviewExitBox);

    // Print.
    m_jprint = new QGroupBox(QStringLiteral("打印"), this);
    m_jprint->setObjectName(QStringLiteral("jprint"));
    place(m_jprint, {GroupLeft, GroupTop, GroupWidth, PrintGroupHeight});
    label(QStringLiteral("打印范围："), m_jprint, RangeLabelBox);
    m_option1 = new QRadioButton(QStringLiteral("全部"), m_jprint);
    m_option1->setObjectName(QStringLiteral("Option1"));
    place(m_option1, AllOptionBox);
    m_option1->setChecked(true);
    m_option2 = new QRadioButton(QStringLiteral("当前"), m_jprint);
    m_option2->setObjectName(QStringLiteral("Option2"));
    place(m_option2, CurrentOptionBox);
    label(QStringLiteral("打印份数："), m_jprint, CopiesLabelBox);
    m_copys = box(QStringLiteral("copys"), m_jprint);
    m_copys->setText(QStringLiteral("1"));
    place(m_copys, CopiesBox);
    m_upDown3 = arrows(QStringLiteral("UpDown3"), m_jprint);
    place(m_upDown3, CopiesArrowsBox);
    button(8, QStringLiteral("打印"), m_jprint, PrintButtonBox);
    button(9, QStringLiteral("停止打印"), m_jprint, StopButtonBox);
    button(10, QStringLiteral("退出"), m_jprint, PrintExitBox);
    m_topdf = new QPushButton(QStringLiteral("打印到PDF文件..."), m_jprint);
    m_topdf->setObjectName(QStringLiteral("topdf"));
    place(m_topdf, PdfButtonBox);

    // The boxes react to a pick from their list and to typing, not to text set by the panel.
    const auto onChange = [this](QComboBox *combo, void (ps_control::*handler)()) {
        connect(combo, &QComboBox::textActivated, this, handler);
        connect(combo->lineEdit(), &QLineEdit::textEdited, this, handler);
    };
    onChange(m_combo1, &ps_control::Combo1Change);
    onChange(m_combo2, &ps_control::Combo2Change);
    onChange(m_combo4, &ps_control::Combo4Change);
    connect(m_combo3, &QComboBox::textActivated, this, &ps_control::Combo3Change);
    connect(m_combo3->lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_typingStudent = true;
        Combo3Change();
        m_typingStudent = false;
    });

    // Enter applies a typed value as it stands; theight has no Enter action.
    for (QLineEdit *edit : {m_pheight, m_pwidth, m_pjuli, m_twidth, m_ttop, m_tleft})
        connect(edit, &QLineEdit::returnPressed, this, [this, edit] { applyBox(edit); });

    const auto spinner = [this](SpinArrows *spin, QLineEdit *edit) {
        connect(spin, &SpinArrows::up, this, [this, edit] { this->spin(edit, true); });
        connect(spin, &SpinArrows::down, this, [this, edit] { this->spin(edit, false); });
    };
    spinner(m_upDown1, m_pheight);
    spinner(m_upDown2, m_pwidth);
    spinner(m_upDown4, m_pjuli);
    spinner(m_tlt, m_tleft);
    spinner(m_ttt, m_ttop);
    spinner(m_tht, m_twidth);
    connect(m_twt, &SpinArrows::up, this, [this] {
        // Only the shown number rises: the comment box's height is not used for composing.
        m_theight->setText(SchemeEditing::heightStepped(m_theight->text(), true));
    });
    connect(m_twt, &SpinArrows::down, this, &ps_control::twtDown);
    connect(m_upDown3, &SpinArrows::up, this, [this] { copiesSpin(true); });
    connect(m_upDown3, &SpinArrows::down, this, [this] { copiesSpin(false); });

    connect(m_tfont, &QPushButton::clicked, this, &ps_control::chooseItemFont);
    connect(Command1(), &QPushButton::clicked, this, &ps_control::newScheme);
    connect(Command2(), &QPushButton::clicked, this, &ps_control::saveScheme);
    // Each group has its own 退出, and they all close the window alike.
    for (QPushButton *exit : {Command3(), Command10(), Command12()})
        connect(exit, &QPushButton::clicked, this, &QWidget::close);
    connect(Command4(), &QPushButton::clicked, this, [this] { moveToStudent(0); });
    connect(Command5(), &QPushButton::clicked, this, &ps_control::previousStudent);
    connect(Command6(), &QPushButton::clicked, this, &ps_control::nextStudent);
    connect(Command7(), &QPushButton::clicked, this, [this] { moveToStudent(lastStudent()); });
    connect(Command8(), &QPushButton::clicked, this, &ps_control::print);
    connect(Command9(), &QPushButton::clicked, this, &ps_control::stopPrinting);
    connect(Command11(), &QPushButton::clicked, this, &ps_control::printCurrent);
    connect(m_topdf, &QPushButton::clicked, this, &ps_control::printToPdf);
}

QPushButton *ps_control::Command(int number) const
{
    return number >= 1 && number <= CommandCount ? m_commands[number - 1] : nullptr;
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
        return 2200;
    case PrintPanelMode::Print:
        return 2500;
    case PrintPanelMode::Setup:
        break;
    }
    return 4245;
}

void ps_control::loadSchemes()
{
    LayoutSchemeFile file(LayoutSchemeFile::pathIn(m_state.ProgramFolder));
    LayoutSchemeFile::Status status;
    const QStringList names = file.listSchemes(&status);
    m_combo1->clear();
    m_combo1->addItems(names);
    if (!status.ok()) {
        m_platform.messageBox(status.error, Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
    } else if (names.isEmpty()) {
        m_platform.messageBox(LayoutSchemeFile::noSchemeMessage(), Platform::NoticeTitle,
                              MsgIcon::Exclamation, MsgButtons::Ok);
    }
    if (names.isEmpty()) {
        // Nothing to select: the window opens on an empty scheme, from which 新方案 can start.
        m_scheme = LayoutScheme{};
        m_pheight->clear();
        m_pwidth->clear();
        m_pjuli->clear();
        compose();
        return;
    }
    m_combo1->setCurrentIndex(0);
    selectScheme(names.first());
}

void ps_control::fillStudents()
{
    const QString shown = m_combo3->currentText();
    m_combo3->clear();
    for (int slot = 1; slot <= MaxNamedStudents; ++slot) {
        const QString &name = m_state.Document.slot(slot).name;
        if (name.isEmpty())
            break;
        m_combo3->addItem(name);
    }
    m_combo3->setEditText(shown);
}

void ps_control::setMode(PrintPanelMode mode)
{
    m_combo4->setEditText(modeText(mode));
    Combo4Change();
}

void ps_control::Combo4Change()
{
    const QString text = m_combo4->currentText().trimmed();
    for (PrintPanelMode mode : {PrintPanelMode::Setup, PrintPanelMode::Preview, PrintPanelMode::Print}) {
        if (text != modeText(mode))
            continue;
        m_mode = mode;
        m_jpapersetup->setVisible(mode == PrintPanelMode::Setup);
        m_jprivew->setVisible(mode == PrintPanelMode::Preview);
        m_jprint->setVisible(mode == PrintPanelMode::Print);
        if (mode == PrintPanelMode::Preview)
            m_combo3->setEditText(currentStudentName());
        resize(px(PanelWidth), px(panelHeight(mode)));
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
        m_platform.messageBox(UnknownSchemeMessage, AppTitle, MsgIcon::None, MsgButtons::Ok);
        return;
    }
    LayoutSchemeFile::Status status;
    m_scheme = LayoutSchemeFile(LayoutSchemeFile::pathIn(m_state.ProgramFolder)).loadScheme(text, &status);
    if (!status.ok())
        m_platform.messageBox(status.error, Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
    m_pheight->setText(m_scheme.paperheight);
    m_pwidth->setText(m_scheme.paperwidth);
    m_pjuli->setText(m_scheme.pytextjuli);
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

QString ps_control::currentStudentName() const
{
    const int slot = m_state.CurrentStudent + 1;
    return slot >= 1 && slot <= CommentDocument::MaxStudents ? m_state.Document.slot(slot).name : QString();
}

void ps_control::compose()
{
    // The paper's size is read from its boxes, applied or not.
    const PageSetup setup = PageSetup::of(m_scheme, m_scale, m_state.UnitsPerCm)
                                .withPaperSize(m_pheight->text(), m_pwidth->text());
    m_page = composePage(m_state.Document, m_state.CurrentStudent, m_state.Document.ItemFonts, setup, m_measurer);
    m_paper->setPage(m_page);
    // The student box names the student on the page, unless the teacher is typing in it.
    if (!m_typingStudent)
        m_combo3->setEditText(currentStudentName());
}

void ps_control::selectObject(SelectedObject object)
{
    m_selected = object;
    m_paper->setOutline(object);
    m_selectedLabel->setText(selectedText(object));
    if (object != SelectedObject::None) {
        const bool comment = object == SelectedObject::CommentText;
        for (QWidget *widget : std::initializer_list<QWidget *>{m_ttop, m_tleft, m_ttt, m_tlt, m_tfont})
            widget->setEnabled(true);
        m_theight->setEnabled(false);
        for (QWidget *widget : std::initializer_list<QWidget *>{m_twidth, m_twt, m_tht})
            widget->setEnabled(comment);
        fillItemBoxes();
    }
    setFocus(Qt::MouseFocusReason);
}

void ps_control::fillItemBoxes()
{
    const std::optional<SchemeEditing::ItemTexts> texts = SchemeEditing::itemTexts(m_scheme, m_selected);
    if (!texts)
        return;
    m_theight->setText(texts->height);
    m_twidth->setText(texts->width);
    m_ttop->setText(texts->top);
    m_tleft->setText(texts->left);
}

SchemeEditing::Box ps_control::boxOf(const QLineEdit *box) const
{
    using Box = SchemeEditing::Box;
    if (box == m_pheight)
        return Box::PaperHeight;
    if (box == m_pwidth)
        return Box::PaperWidth;
    if (box == m_pjuli)
        return Box::Spacing;
    if (box == m_twidth)
        return Box::ItemWidth;
    if (box == m_ttop)
        return Box::ItemTop;
    if (box == m_tleft)
        return Box::ItemLeft;
    return Box::ItemHeight;
}

void ps_control::applyBox(QLineEdit *box)
{
    SchemeEditing::apply(m_scheme, boxOf(box), m_selected, box->text());
    compose();
}

void ps_control::spin(QLineEdit *box, bool up)
{
    if (const std::optional<QString> shown =
            SchemeEditing::spin(m_scheme, boxOf(box), m_selected, box->text(), up))
        box->setText(*shown);
    compose();
}

void ps_control::twtDown()
{
    m_theight->setText(SchemeEditing::heightStepped(m_theight->text(), false));
    // The boxes show the stored height again at once; the step goes to the line spacing.
    fillItemBoxes();
    SchemeEditing::lowerSpacing(m_scheme);
    compose();
}

void ps_control::chooseItemFont()
{
    if (m_selected == SelectedObject::None)
        return;
    const Item item = m_selected == SelectedObject::StudentName ? Item::StudentName
        : m_selected == SelectedObject::CommentText             ? Item::CommentText
                                                                : Item::Signature;
    ItemFont &font = m_state.Document.ItemFonts[std::size_t(item)];
    // As with the student-name font command; the document is not marked modified.
    takeChosenFont(font, m_platform.chooseFont(font));
    compose();
}

void ps_control::newScheme()
{
    // Schemes are looked up by their trimmed name, so that is the name a new one gets; a name
    // of blanks only is no name at all.
    const QString name = m_platform.inputBox(NewSchemePrompt, Platform::QuestionTitle, QString()).trimmed();
    if (name.isEmpty())
        return;
    const LayoutSchemeFile::Status status =
        LayoutSchemeFile(LayoutSchemeFile::pathIn(m_state.ProgramFolder)).appendScheme(name, m_scheme);
    if (!status.ok()) {
        m_platform.messageBox(status.error, Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    m_combo1->addItem(name);
    m_combo1->setCurrentIndex(m_combo1->count() - 1);
    selectScheme(name);
}

void ps_control::saveScheme()
{
    const LayoutSchemeFile::Status status = LayoutSchemeFile(LayoutSchemeFile::pathIn(m_state.ProgramFolder))
                                                .saveScheme(m_combo1->currentText(), m_scheme);
    if (status.ok())
        m_platform.messageBox(SavedMessage, Platform::NoticeTitle, MsgIcon::None, MsgButtons::Ok);
    else
        m_platform.messageBox(status.error, Platform::NoticeTitle, MsgIcon::Critical, MsgButtons::Ok);
}

int ps_control::lastStudent() const
{
    return std::max(m_state.Document.studentCount() - 1, 0);
}

void ps_control::moveToStudent(int student)
{
    m_state.CurrentStudent = student;
    compose();
}

void ps_control::previousStudent()
{
    if (m_state.CurrentStudent < 1) {
        m_platform.messageBox(FirstPageMessage, Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    moveToStudent(m_state.CurrentStudent - 1);
}

void ps_control::nextStudent()
{
    if (m_state.CurrentStudent >= lastStudent()) {
        m_platform.messageBox(LastPageMessage, Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    moveToStudent(m_state.CurrentStudent + 1);
}

void ps_control::Combo3Change()
{
    const QString name = m_combo3->currentText().trimmed();
    for (int slot = 1; slot <= CommentDocument::MaxStudents; ++slot) {
        const QString &slotName = m_state.Document.slot(slot).name;
        if (slotName == name || slotName.isEmpty()) {
            m_state.CurrentStudent = slot - 1;
            break;
        }
    }
    // With all slots named and none matching, the current student stays.
    compose();
}

void ps_control::copiesSpin(bool up)
{
    m_copys->setText(SchemeEditing::copiesStepped(m_copys->text(), up));
}

void ps_control::printCurrent()
{
    m_option2->setChecked(true);
    m_copys->setText(QStringLiteral("1"));
    print();
}

void ps_control::print()
{
    if (m_printing)
        return;
    const QString scaleText = m_combo2->currentText();
    const int student = m_state.CurrentStudent;
    const SelectedObject outline = m_paper->outline();

    m_combo2->setEditText(ScaleTexts[0]);
    Combo2Change();
    m_paper->setOutline(SelectedObject::None);

    PrintTarget *printer = m_platform.printer();
    if (!printer) {
        m_platform.messageBox(NoPrinterMessage, Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
    } else {
        PrintRunOptions options;
        options.wholeClass = m_option1->isChecked();
        options.copiesText = m_copys->text();
        options.currentStudent = m_state.CurrentStudent;
        options.pheightText = m_pheight->text();
        options.pwidthText = m_pwidth->text();
        options.printerSetting = 2;
        m_printing = true;
        m_stopRequested = false;
        setPrintingControls(true);
        // Between documents the panel stays alive, so that 停止打印 can be pressed.
        const PrintRunResult result =
            printRun(m_state.Document, m_scheme, m_state.Document.ItemFonts, options, m_measurer,
                     *printer, [this] {
                         QCoreApplication::processEvents();
                         return m_stopRequested;
                     });
        setPrintingControls(false);
        m_printing = false;
        if (!result.error.isEmpty())
            m_platform.messageBox(PrintFailedMessage + result.error, Platform::NoticeTitle, MsgIcon::Critical,
                                  MsgButtons::Ok);
    }

    m_state.CurrentStudent = student;
    m_combo2->setEditText(scaleText);
    Combo2Change();
    m_paper->setOutline(outline);
    if (m_closeAfterRun) {
        m_closeAfterRun = false;
        close();
    }
}

void ps_control::setPrintingControls(bool printing)
{
    // During a run only 停止打印 and the 退出 buttons answer; the sample page takes no clicks either.
    for (QWidget *widget : std::initializer_list<QWidget *>{m_combo1, m_combo2, m_combo4, m_jpapersetup, m_combo3,
                                                             Command4(), Command5(), Command6(), Command7(),
                                                             Command11(), m_option1, m_option2, m_copys, m_upDown3,
                                                             Command8(), m_topdf, m_paper})
        widget->setEnabled(!printing);
}

void ps_control::stopPrinting()
{
    if (m_platform.messageBox(StopQuestion, Platform::QuestionTitle, MsgIcon::Question, MsgButtons::YesNo)
        != MsgAnswer::Yes)
        return;
    if (PrintTarget *printer = m_platform.printer())
        printer->abandon();
    m_stopRequested = true;
}

void ps_control::showEvent(QShowEvent *event)
{
    m_closedEmitted = false;
    QWidget::showEvent(event);
}

void ps_control::closeEvent(QCloseEvent *event)
{
    if (m_printing) {
        // The run is still using the panel: stop it, and close once it has returned.
        m_stopRequested = true;
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
    const QString path = m_platform.saveFileName(PdfFilter);
    if (path.isEmpty())
        return;
    const QString error = writeClassPdf(path, m_state.Document, m_scheme, m_measurer);
    if (!error.isEmpty()) {
        m_platform.messageBox(QStringLiteral("生成PDF文件失败！") + error, Platform::NoticeTitle, MsgIcon::Critical,
                              MsgButtons::Ok);
        return;
    }
    m_platform.messageBox(QStringLiteral("已生成PDF文件“%1”。").arg(path), Platform::NoticeTitle,
                          MsgIcon::Information, MsgButtons::Ok);
}
