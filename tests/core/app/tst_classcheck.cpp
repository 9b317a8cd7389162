#include "core/app/classcheck.h"
#include "core/document/commentdocument.h"
#include "core/printing/fitcheck.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/textmeasurer.h"

#include <QTest>

using namespace ClassCheck;

namespace {

/// The class from "name=comment" entries.
CommentDocument classOf(const QStringList &students)
{
    CommentDocument document;
    for (int i = 0; i < students.size(); ++i)
        document.slot(i + 1) = {students[i].section(u'=', 0, 0), students[i].section(u'=', 1)};
    return document;
}

/// A finding as "name kind detail@position".
QStringList described(const CommentDocument &document, const QList<Finding> &findings)
{
    QStringList lines;
    for (const Finding &f : findings) {
        QString line = document.slot(f.student + 1).name + u' ' + kindName(f.kind);
        if (!f.detail.isEmpty())
            line += u' ' + f.detail;
        if (f.position >= 0)
            line += QStringLiteral("@%1").arg(f.position);
        lines << line;
    }
    return lines;
}

/// Findings from "student kind detail" entries, the kind by its first character (空, 提, 重, 超).
QList<Finding> findingsOf(const QStringList &entries)
{
    QList<Finding> findings;
    for (const QString &entry : entries) {
        const QStringList parts = entry.split(u' ');
        const QString letter = parts.at(1);
        const Kind kind = letter == u"空"   ? Kind::EmptyComment
                          : letter == u"提" ? Kind::MentionsOther
                          : letter == u"重" ? Kind::Repeated
                                            : Kind::PastPrintArea;
        findings.append({parts.at(0).toInt(), kind, parts.value(2), -1, 0});
    }
    return findings;
}

const QString Long = QStringLiteral("你上课认真听讲积极举手发言"); // 13 characters

} // namespace

class tst_ClassCheck : public QObject
{
    Q_OBJECT

private slots:
    void givenNames_data();
    void givenNames();
    void findings_data();
    void findings();
    void pastPrintArea_data();
    void pastPrintArea();
    void grouped_data();
    void grouped();
};

void tst_ClassCheck::givenNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("given");
    QTest::newRow("one-character surname") << "王小明"
                                           << "小明";
    QTest::newRow("two-character surname") << "欧阳娜娜"
                                           << "娜娜";
    QTest::newRow("司马光") << "司马光"
                            << "光";
    QTest::newRow("surname alone") << "李"
                                   << "";
    QTest::newRow("surname outside the BMP") << "𠀀明亮"
                                             << "明亮";
}

void tst_ClassCheck::givenNames()
{
    QFETCH(QString, name);
    QFETCH(QString, given);
    QCOMPARE(givenName(name), given);
}

void tst_ClassCheck::findings_data()
{
    QTest::addColumn<QStringList>("students");
    QTest::addColumn<int>("repeatLimit");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty and blank comments")
        << QStringList{"张三=", "李四=\u3000 ", "王五=好"} << 3 << QStringList{"张三 空评语", "李四 空评语"};
    QTest::newRow("another's full name")
        << QStringList{"张三=你和李四是好朋友", "李四=好"} << 3 << QStringList{"张三 提到其他学生 李四@2"};
    QTest::newRow("another's given name") << QStringList{"张三=小明是你的好朋友", "王小明=好"} << 3
                                          << QStringList{"张三 提到其他学生 小明（王小明）@0"};
    QTest::newRow("a one-character given name is no mention")
        << QStringList{"张三=四季常青", "李四=好"} << 3 << QStringList{};
    QTest::newRow("given name after a two-character surname")
        << QStringList{"张三=娜娜很热心", "欧阳娜娜=好"} << 3
        << QStringList{"张三 提到其他学生 娜娜（欧阳娜娜）@0"};
    QTest::newRow("inside the student's own name")
        << QStringList{"王小明=王小明，你很棒", "王小=好"} << 3 << QStringList{};
    QTest::newRow("a name inside a longer name of the class")
        << QStringList{"张三=王小明上课认真", "王小明=好", "王小=好"} << 3
        << QStringList{"张三 提到其他学生 王小明@0"};
    QTest::newRow("own given name shared with another")
        << QStringList{"王小明=小明，你好", "李小明=好"} << 3 << QStringList{};
    QTest::newRow("two mentions in the order they stand")
        << QStringList{"张三=王五和李四都是你的好朋友", "李四=好", "王五=好"} << 3
        << QStringList{"张三 提到其他学生 王五@0", "张三 提到其他学生 李四@3"};

    const QStringList four{"甲=" + Long + "。", "乙=好。" + Long + "！", "丙=" + Long, "丁=" + Long + "；"};
    QTest::newRow("in more than 3 comments")
        << four << 3
        << QStringList{"甲 重复 " + Long + "（共 4 人）@0", "乙 重复 " + Long + "（共 4 人）@2",
                       "丙 重复 " + Long + "（共 4 人）@0", "丁 重复 " + Long + "（共 4 人）@0"};
    QTest::newRow("in exactly the limit") << four << 4 << QStringList{};
    QTest::newRow("short sentences repeat freely")
        << QStringList{"甲=你真棒。", "乙=你真棒。", "丙=你真棒。", "丁=你真棒。", "戊=你真棒。"} << 3
        << QStringList{};
    QTest::newRow("twice in one comment counts once")
        << QStringList{"甲=" + Long + "。" + Long, "乙=" + Long} << 1
        << QStringList{"甲 重复 " + Long + "（共 2 人）@0", "乙 重复 " + Long + "（共 2 人）@0"};
}

void tst_ClassCheck::findings()
{
    QFETCH(QStringList, students);
    QFETCH(int, repeatLimit);
    QFETCH(QStringList, expected);
    const CommentDocument document = classOf(students);
    Options options;
    options.repeatLimit = repeatLimit;
    QCOMPARE(described(document, check(document, options)), expected);
}

/// Every character 100 twips wide, every line 200 twips high; a text breaks its lines at LF.
class BlockMeasurer : public TextMeasurer
{
public:
    TextExtent measureText(const QString &text, const ItemFont &) const override
    {
        qsizetype widest = 0;
        const QStringList lines = QString(text).remove(u'\r').split(u'\n');
        for (const QString &line : lines)
            widest = std::max(widest, line.size());
        return {double(widest) * 100, 200.0 * double(lines.size())};
    }
};

void tst_ClassCheck::pastPrintArea_data()
{
    // A box 1 cm (570 units) wide and high, 1 cm from the top: two lines of 200 fit, the third
    // ends 30 units below it. A line takes six characters (600 > 570 ends it).
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("paperHeight");
    QTest::addColumn<int>("over");
    const auto good = [](int n) { return QString(n, u'好'); };
    QTest::newRow("one line") << good(6) << "20" << 0;
    QTest::newRow("two lines fill the box") << good(12) << "20" << 0;
    QTest::newRow("a third line") << good(13) << "20" << 1;
    QTest::newRow("ten lines") << good(60) << "20" << 8;
    QTest::newRow("the paper ends first") << good(30) << "1.5" << 4; // the box reaches past it
    // Short lines broken by the teacher share one box: each line past the limit counts.
    QTest::newRow("five short lines") << "好\r\n好\r\n好\r\n好\r\n好"
                                      << "20" << 3;
}

void tst_ClassCheck::pastPrintArea()
{
    QFETCH(QString, comment);
    QFETCH(QString, paperHeight);
    QFETCH(int, over);
    LayoutScheme scheme;
    scheme.name = QStringLiteral("小方框");
    const QList<QPair<SchemeField, QString>> values = {
        {SchemeField::PaperHeight, paperHeight}, {SchemeField::PaperWidth, "20"},
        {SchemeField::PyTextLeft, "1"},          {SchemeField::PyTextTop, "1"},
        {SchemeField::PyTextWidth, "1"},         {SchemeField::PyTextHeight, "1"},
        {SchemeField::PyTextJuli, "0"},          {SchemeField::StudentLeft, "1"},
        {SchemeField::StudentTop, "0"},          {SchemeField::TeacherLeft, "1"},
        {SchemeField::TeacherTop, "10"}};
    for (const auto &[field, value] : values)
        scheme.setValue(field, value);
    const CommentDocument document = classOf({"张三=" + comment});
    const BlockMeasurer measurer;
    QCOMPARE(FitCheck::linesPastBox(document, 0, scheme, measurer), over);

    Options options;
    options.scheme = &scheme;
    options.measurer = &measurer;
    const QStringList expected =
        over > 0 ? QStringList{QStringLiteral("张三 超出打印区域 %1 行").arg(over)} : QStringList{};
    QCOMPARE(described(document, check(document, options)), expected);
}

void tst_ClassCheck::grouped_data()
{
    QTest::addColumn<QStringList>("findings");
    QTest::addColumn<QStringList>("groups"); // "kind: detail[students] …"
    QTest::newRow("nothing found") << QStringList{} << QStringList{};
    QTest::newRow("kinds in a fixed order, 重复 last")
        << QStringList{"0 重 甲", "0 提 李四", "1 超 2行", "2 空"}
        << QStringList{"空评语: [2]", "提到其他学生: 李四[0]", "超出打印区域: 2行[1]", "重复: 甲[0]"};
    QTest::newRow("a repeated sentence is one entry with its students")
        << QStringList{"0 重 甲", "1 重 甲", "1 重 乙", "2 重 甲"} << QStringList{"重复: 甲[0,1,2] 乙[1]"};
    QTest::newRow("other kinds keep one entry a finding")
        << QStringList{"0 提 李四", "0 提 王五", "1 提 李四", "3 空", "4 空"}
        << QStringList{"空评语: [3] [4]", "提到其他学生: 李四[0] 王五[0] 李四[1]"};
}

void tst_ClassCheck::grouped()
{
    QFETCH(QStringList, findings);
    QFETCH(QStringList, groups);
    QStringList described;
    for (const Group &group : ClassCheck::grouped(findingsOf(findings))) {
        QStringList entries;
        for (const Entry &entry : group.entries) {
            QStringList students;
            for (const Finding &finding : entry.findings) {
                QCOMPARE(finding.kind, group.kind);
                QCOMPARE(finding.detail, entry.detail);
                students << QString::number(finding.student);
            }
            entries << entry.detail + u'[' + students.join(u',') + u']';
        }
        described << kindName(group.kind) + QStringLiteral(": ") + entries.join(u' ');
    }
    QCOMPARE(described, groups);
}

QTEST_APPLESS_MAIN(tst_ClassCheck)
#include "tst_classcheck.moc"
