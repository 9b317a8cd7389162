#include "core/printing/printeditems.h"

#include "core/document/commentdocument.h"
#include "core/platform/leadingnumber.h"
#include "core/printing/layoutschemefile.h"
#include "core/printing/pagesetup.h"
#include "core/printing/schemeediting.h"

#include <algorithm>
#include <array>

namespace {

QString studentName(const ItemTextSource &source)
{
    const bool inClass = source.student >= 0 && source.student < CommentDocument::MaxStudents;
    const QString name = inClass ? source.document.slot(source.student + 1).name : QString();
    return name + QStringLiteral("同学：");
}

QString comment(const ItemTextSource &source)
{
    const bool inClass = source.student >= 0 && source.student < CommentDocument::MaxStudents;
    return inClass ? source.document.slot(source.student + 1).comment : QString();
}

QString signature(const ItemTextSource &source)
{
    return source.document.TeacherSignature;
}

QString title(const ItemTextSource &source)
{
    return PrintedItems::titleText(source.setup.scheme.titletext, source.setup.className);
}

QString date(const ItemTextSource &source)
{
    const QDate day = source.setup.printDate.isValid() ? source.setup.printDate : QDate::currentDate();
    return PrintedItems::dateText(source.setup.scheme.datetext, day);
}

using F = SchemeField;

const std::array<PrintedItem, 5> Items = {{
    {.role = PageItemRole::StudentName,
     .object = SelectedObject::StudentName,
     .caption = u"“学生姓名：”",
     .left = F::StudentLeft,
     .top = F::StudentTop,
     .documentFont = Item::StudentName,
     .textOf = studentName},
    {.role = PageItemRole::CommentLine,
     .object = SelectedObject::CommentText,
     .caption = u"“评语正文”",
     .left = F::PyTextLeft,
     .top = F::PyTextTop,
     .width = F::PyTextWidth,
     .height = F::PyTextHeight,
     .gap = F::PyTextJuli,
     .documentFont = Item::CommentText,
     .textOf = comment},
    {.role = PageItemRole::Signature,
     .object = SelectedObject::Signature,
     .caption = u"“教师签名”",
     .left = F::TeacherLeft,
     .top = F::TeacherTop,
     .documentFont = Item::Signature,
     .textOf = signature},
    {.role = PageItemRole::Title,
     .object = SelectedObject::Title,
     .caption = u"“标题”",
     .left = F::TitleLeft,
     .top = F::TitleTop,
     .font = F::TitleFont,
     .text = F::TitleText,
     .printed = &LayoutScheme::printsTitle,
     .checkCaption = u"打印标题",
     .checkName = u"printtitle",
     .textOf = title,
     .startText = u"{班级} 学生评语",
     .startFont = u"黑体,16,true,false",
     .leftFrom = F::PyTextLeft,
     .topFrom = F::StudentTop,
     .below = -1.5},
    {.role = PageItemRole::Date,
     .object = SelectedObject::Date,
     .caption = u"“日期”",
     .left = F::DateLeft,
     .top = F::DateTop,
     .font = F::DateFont,
     .text = F::DateText,
     .printed = &LayoutScheme::printsDate,
     .checkCaption = u"打印日期",
     .checkName = u"printdate",
     .textOf = date,
     .startText = u"{年}年{月}月{日}日",
     .startFont = u"宋体,12,false,false",
     .leftFrom = F::TeacherLeft,
     .topFrom = F::TeacherTop,
     .below = 1},
}};

} // namespace

namespace PrintedItems {

std::span<const PrintedItem> all()
{
    return Items;
}

const PrintedItem *of(SelectedObject object)
{
    for (const PrintedItem &item : Items) {
        if (item.object == object)
            return &item;
    }
    return nullptr;
}

const PrintedItem *of(PageItemRole role)
{
    for (const PrintedItem &item : Items) {
        if (item.role == role)
            return &item;
    }
    return nullptr;
}

bool isPrinted(const PrintedItem &item, const LayoutScheme &scheme)
{
    return !item.printed || scheme.*item.printed;
}

void setPrinted(const PrintedItem &item, LayoutScheme &scheme, bool on)
{
    if (!item.printed)
        return;
    scheme.*item.printed = on;
    if (!on || !item.text || !item.font)
        return;
    const SchemeField fields[4] = {*item.text, *item.font, item.left, item.top};
    bool empty = true;
    for (SchemeField field : fields)
        empty = empty && scheme.value(field).isEmpty();
    if (!empty)
        return;
    scheme.setValue(*item.text, QString::fromUtf16(item.startText));
    scheme.setValue(*item.font, QString::fromUtf16(item.startFont));
    scheme.setValue(item.left, SchemeEditing::numberText(scheme.number(item.leftFrom)));
    scheme.setValue(item.top,
                    SchemeEditing::numberText(std::max(0.0, scheme.number(item.topFrom) + item.below)));
}

ItemFont fontOf(const PrintedItem &item, const LayoutScheme &scheme, const ItemFonts &documentFonts)
{
    if (item.documentFont)
        return documentFonts[std::size_t(*item.documentFont)];
    return item.font ? fontFromText(scheme.value(*item.font)) : ItemFont{};
}

ItemFont fontFromText(const QString &text)
{
    // The face may hold commas: the last three parts are the size and the two switches.
    QStringList parts = text.split(u',');
    ItemFont font;
    const auto take = [&parts] { return parts.size() > 1 ? parts.takeLast().trimmed() : QString(); };
    const QString italic = take();
    const QString bold = take();
    const QString size = take();
    const QString face = parts.join(u',').trimmed();
    if (!face.isEmpty())
        font.fontName = face;
    if (const double points = leadingNumber(size); points > 0)
        font.fontSize = points;
    font.bold = bold == u"true";
    font.italic = italic == u"true";
    return font;
}

QString fontText(const ItemFont &font)
{
    const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
    return QStringLiteral("%1,%2,%3,%4")
        .arg(font.fontName, QString::number(font.fontSize), flag(font.bold), flag(font.italic));
}

QString titleText(const QString &text, const QString &className)
{
    return QString(text).replace(QStringLiteral("{班级}"), className);
}

QString dateText(const QString &text, QDate date)
{
    return QString(text)
        .replace(QStringLiteral("{年}"), QString::number(date.year()))
        .replace(QStringLiteral("{月}"), QString::number(date.month()))
        .replace(QStringLiteral("{日}"), QString::number(date.day()));
}

QString schemeTextProblem(const QString &text)
{
    QStringList forbidden{LayoutSchemeFile::NamePrefix, LayoutSchemeFile::BlockEnd};
    for (SchemeField field : LayoutScheme::FileFields)
        forbidden.append(LayoutScheme::key(field));
    for (const QString &part : std::as_const(forbidden)) {
        if (text.contains(part))
            return QStringLiteral("打印方案中的文字不能含有“%1”，它会被当作方案文件的标记。").arg(part);
    }
    return QString();
}

} // namespace PrintedItems
