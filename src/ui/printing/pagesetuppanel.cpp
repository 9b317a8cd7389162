#include "ui/printing/pagesetuppanel.h"

#include "core/document/session.h"
#include "core/platform/platform.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/printeditems.h"
#include "ui/platform/accessiblenames.h"
#include "ui/printing/panelparts.h"
#include "ui/printing/spinarrows.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Design geometry in twips, relative to the control's container.
using Twips::Box;

// Paper size, line spacing, the item frame, buttons and hint.
constexpr Box PaperFrameBox{120, 300, 2520, 1260};
constexpr int PaperRowTops[2] = {360, 810};
constexpr int PaperRowLeft = 120;
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
// The optional items' check boxes, then the selected item's text, beside the scheme buttons.
constexpr int CheckLeft = 2790;
constexpr int CheckTop = 2250;
constexpr int CheckWidth = 1140;
constexpr int TextLabelWidth = 600;
constexpr int TextRight = 7680;

// A row of label, box, arrows and "厘米", relative to the row's left and top.
constexpr int RowBoxHeight = 330;
constexpr int RowLabelDrop = 30;
constexpr int ArrowsWidth = 255;
constexpr int UnitGap = 60;
constexpr int UnitWidth = 420;

const QString HintText =
    QStringLiteral("请在样张上选择一个对象，然后调整它的大小、位置以及字体等。手工输入请按回车确认。");

QString selectedText(SelectedObject object)
{
    const PrintedItem *item = PrintedItems::of(object);
    return item ? QString::fromUtf16(item->caption) : QStringLiteral("未选中任何对象");
}

SpinArrows *arrows(const QString &name, QWidget *parent)
{
    auto *result = new SpinArrows(parent);
    result->setObjectName(name);
    return result;
}

/// Label, box, arrows and "厘米" on one row.
void row(QWidget *parent, int left, int top, int labelWidth, int boxWidth, const QString &caption,
         QLineEdit *edit, SpinArrows *spin)
{
    using namespace PanelParts;
    AccessibleNames::label(
        label(caption, parent, {left, top + RowLabelDrop, labelWidth, RowBoxHeight - RowLabelDrop}), edit);
    place(edit, {left + labelWidth, top, boxWidth, RowBoxHeight});
    place(spin, {left + labelWidth + boxWidth, top, ArrowsWidth, RowBoxHeight});
    label(QStringLiteral("厘米"), parent,
          {left + labelWidth + boxWidth + ArrowsWidth + UnitGap, top + RowLabelDrop, UnitWidth,
           RowBoxHeight - RowLabelDrop});
}

} // namespace

PageSetupPanel::PageSetupPanel(Session &session, Platform &platform, LayoutScheme &scheme, QWidget *parent)
    : QGroupBox(QStringLiteral("页面设置"), parent)
    , m_session(session)
    , m_platform(platform)
    , m_scheme(scheme)
{
    setObjectName(QStringLiteral("jpapersetup"));
    buildControls();
}

void PageSetupPanel::buildControls()
{
    using namespace PanelParts;
    auto *paperFrame = new QGroupBox(QStringLiteral("纸张大小"), this);
    paperFrame->setObjectName(QStringLiteral("paperFrame"));
    place(paperFrame, PaperFrameBox);
    m_pheight = textBox(QStringLiteral("pheight"), paperFrame);
    m_upDown1 = arrows(QStringLiteral("UpDown1"), paperFrame);
    row(paperFrame, PaperRowLeft, PaperRowTops[0], PaperLabelWidth, PaperBoxWidth, QStringLiteral("高度："),
        m_pheight, m_upDown1);
    m_pwidth = textBox(QStringLiteral("pwidth"), paperFrame);
    m_upDown2 = arrows(QStringLiteral("UpDown2"), paperFrame);
    row(paperFrame, PaperRowLeft, PaperRowTops[1], PaperLabelWidth, PaperBoxWidth, QStringLiteral("宽度："),
        m_pwidth, m_upDown2);
    m_pjuli = textBox(QStringLiteral("pjuli"), this);
    m_upDown4 = arrows(QStringLiteral("UpDown4"), this);
    row(this, SpacingRowLeft, SpacingRowTop, SpacingLabelWidth, SpacingBoxWidth, QStringLiteral("正文行距："),
        m_pjuli, m_upDown4);

    auto *objectFrame = new QGroupBox(QStringLiteral("设置对象格式"), this);
    objectFrame->setObjectName(QStringLiteral("objectFrame"));
    place(objectFrame, ObjectFrameBox);
    m_theight = textBox(QStringLiteral("theight"), objectFrame);
    m_twt = arrows(QStringLiteral("twt"), objectFrame);
    row(objectFrame, ObjectColumnLefts[0], ObjectRowTops[0], ObjectLabelWidth, ObjectBoxWidth,
        QStringLiteral("高度："), m_theight, m_twt);
    m_twidth = textBox(QStringLiteral("twidth"), objectFrame);
    m_tht = arrows(QStringLiteral("tht"), objectFrame);
    row(objectFrame, ObjectColumnLefts[1], ObjectRowTops[0], ObjectLabelWidth, ObjectBoxWidth,
        QStringLiteral("宽度："), m_twidth, m_tht);
    m_ttop = textBox(QStringLiteral("ttop"), objectFrame);
    m_ttt = arrows(QStringLiteral("ttt"), objectFrame);
    row(objectFrame, ObjectColumnLefts[0], ObjectRowTops[1], ObjectLabelWidth, ObjectBoxWidth,
        QStringLiteral("上边距："), m_ttop, m_ttt);
    m_tleft = textBox(QStringLiteral("tleft"), objectFrame);
    m_tlt = arrows(QStringLiteral("tlt"), objectFrame);
    row(objectFrame, ObjectColumnLefts[1], ObjectRowTops[1], ObjectLabelWidth, ObjectBoxWidth,
        QStringLiteral("左边距："), m_tleft, m_tlt);
    m_tfont = new QPushButton(QStringLiteral("字体属性..."), objectFrame);
    m_tfont->setObjectName(QStringLiteral("tfont"));
    place(m_tfont, FontButtonBox);
    label(QStringLiteral("当前对象："), objectFrame, CurrentLabelBox);
    m_selectedLabel = label(selectedText(SelectedObject::None), objectFrame, SelectedLabelBox);
    m_selectedLabel->setObjectName(QStringLiteral("selected"));

    m_command1 = command(1, QStringLiteral("新方案..."), this, NewSchemeBox);
    m_command2 = command(2, QStringLiteral("保存修改"), this, SaveSchemeBox);
    m_command3 = command(3, QStringLiteral("退出"), this, SetupExitBox);
    QLabel *hint = label(HintText, this, HintBox);
    hint->setObjectName(QStringLiteral("hint"));
    hint->setWordWrap(true);
    QPalette red = hint->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    hint->setPalette(red);

    // One check box per item a scheme may leave out, then the text box of the selected item.
    int left = CheckLeft;
    for (const PrintedItem &item : PrintedItems::all()) {
        if (!item.printed)
            continue;
        auto *check = new QCheckBox(QString::fromUtf16(item.checkCaption), this);
        check->setObjectName(QString::fromUtf16(item.checkName));
        place(check, {left, CheckTop, CheckWidth, RowBoxHeight});
        left += CheckWidth;
        connect(check, &QCheckBox::clicked, this, [this, &item](bool on) {
            PrintedItems::setPrinted(item, m_scheme, on);
            fillItemBoxes();
            emit changed();
        });
        m_checks.append({&item, check});
    }
    m_ttext = textBox(QStringLiteral("ttext"), this);
    AccessibleNames::label(
        label(QStringLiteral("文字："), this,
              {left, CheckTop + RowLabelDrop, TextLabelWidth, RowBoxHeight - RowLabelDrop}),
        m_ttext);
    place(m_ttext, {left + TextLabelWidth, CheckTop, TextRight - left - TextLabelWidth, RowBoxHeight});
    connect(m_ttext, &QLineEdit::returnPressed, this, &PageSetupPanel::applyText);

    // The item boxes wait for a click on the sample page.
    for (QWidget *widget : std::initializer_list<QWidget *>{m_theight, m_twidth, m_ttop, m_tleft, m_twt,
                                                            m_tht, m_ttt, m_tlt, m_tfont, m_ttext})
        widget->setEnabled(false);

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
    connect(m_twt, &SpinArrows::down, this, &PageSetupPanel::twtDown);
    connect(m_tfont, &QPushButton::clicked, this, &PageSetupPanel::chooseItemFont);
}

void PageSetupPanel::showScheme()
{
    m_pheight->setText(m_scheme.paperheight);
    m_pwidth->setText(m_scheme.paperwidth);
    m_pjuli->setText(m_scheme.pytextjuli);
    for (const auto &[item, check] : std::as_const(m_checks))
        check->setChecked(PrintedItems::isPrinted(*item, m_scheme));
}

void PageSetupPanel::clearScheme()
{
    m_pheight->clear();
    m_pwidth->clear();
    m_pjuli->clear();
    for (const auto &[item, check] : std::as_const(m_checks))
        check->setChecked(false);
}

void PageSetupPanel::selectObject(SelectedObject object)
{
    m_selected = object;
    m_selectedLabel->setText(selectedText(object));
    if (object == SelectedObject::None)
        return;
    const PrintedItem &item = *PrintedItems::of(object);
    for (QWidget *widget : std::initializer_list<QWidget *>{m_ttop, m_tleft, m_ttt, m_tlt, m_tfont})
        widget->setEnabled(true);
    m_theight->setEnabled(false);
    for (QWidget *widget : std::initializer_list<QWidget *>{m_twidth, m_twt, m_tht})
        widget->setEnabled(item.width.has_value());
    m_ttext->setEnabled(item.text.has_value());
    fillItemBoxes();
}

void PageSetupPanel::fillItemBoxes()
{
    const std::optional<SchemeEditing::ItemTexts> texts = SchemeEditing::itemTexts(m_scheme, m_selected);
    if (!texts)
        return;
    m_theight->setText(texts->height);
    m_twidth->setText(texts->width);
    m_ttop->setText(texts->top);
    m_tleft->setText(texts->left);
    m_ttext->setText(texts->text);
}

SchemeEditing::Box PageSetupPanel::boxOf(const QLineEdit *box) const
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

void PageSetupPanel::applyBox(QLineEdit *box)
{
    SchemeEditing::apply(m_scheme, boxOf(box), m_selected, box->text());
    emit changed();
}

void PageSetupPanel::spin(QLineEdit *box, bool up)
{
    if (const std::optional<QString> shown =
            SchemeEditing::spin(m_scheme, boxOf(box), m_selected, box->text(), up))
        box->setText(*shown);
    emit changed();
}

void PageSetupPanel::twtDown()
{
    m_theight->setText(SchemeEditing::heightStepped(m_theight->text(), false));
    // The boxes show the stored height again at once; the step goes to the line spacing.
    fillItemBoxes();
    SchemeEditing::lowerSpacing(m_scheme);
    emit changed();
}

void PageSetupPanel::applyText()
{
    const QString problem = SchemeEditing::applyText(m_scheme, m_selected, m_ttext->text());
    if (!problem.isEmpty())
        m_platform.messageBox(problem, Platform::NoticeTitle, MsgIcon::Exclamation, MsgButtons::Ok);
    emit changed();
}

void PageSetupPanel::chooseItemFont()
{
    const PrintedItem *item = PrintedItems::of(m_selected);
    if (!item)
        return;
    ItemFont font = PrintedItems::fontOf(*item, m_scheme, m_session.Document().ItemFonts);
    takeChosenFont(font, m_platform.chooseFont(font));
    if (item->documentFont) {
        // As with the student-name font command; the document is not marked modified.
        m_session.setItemFont(int(*item->documentFont), font, false);
    } else {
        SchemeEditing::setSchemeFont(m_scheme, m_selected, font);
    }
    emit changed();
}

QCheckBox *PageSetupPanel::printedBox(SelectedObject object) const
{
    for (const auto &[item, check] : m_checks) {
        if (item->object == object)
            return check;
    }
    return nullptr;
}
