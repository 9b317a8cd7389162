#include "core/app/classcheck.h"
#include "core/document/commentdocument.h"
#include "core/document/personname.h"
#include "core/printing/fitcheck.h"
#include "core/printing/layoutscheme.h"
#include "core/printing/textmeasurer.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

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

struct Occurrence
{
    qsizetype start;
    qsizetype end;
};

QList<Occurrence> occurrencesOf(const QString &text, const QString &needle)
{
    QList<Occurrence> found;
    for (qsizetype at = needle.isEmpty() ? -1 : text.indexOf(needle); at >= 0; at = text.indexOf(needle, at + 1))
        found.append({at, at + needle.size()});
    return found;
}

bool within(const Occurrence &span, const QList<Occurrence> &covers)
{
    return std::any_of(covers.begin(), covers.end(),
                       [&](const Occurrence &c) { return c.start <= span.start && span.end <= c.end; });
}

/// The mentions found by searching the comment for one name at a time: a name counts where
/// neither the student's own name nor a longer name of the class stands around it.
QStringList mentionsOneByOne(const CommentDocument &document)
{
    QStringList lines;
    const int students = document.studentCount();
    for (int s = 0; s < students; ++s) {
        const QString &comment = document.slot(s + 1).comment;
        const QString &own = document.slot(s + 1).name;
        if (comment.trimmed().isEmpty())
            continue;
        QList<Occurrence> covers = occurrencesOf(comment, own);
        if (const QString given = PersonName::givenName(own); given != own)
            covers += occurrencesOf(comment, given);
        QList<QPair<int, QString>> mentions;
        for (int o = 0; o < students; ++o) {
            const QString &name = document.slot(o + 1).name;
            if (o == s || name == own)
                continue;
            mentions.append({o, name});
            if (const QString given = PersonName::givenName(name); given != name && given != own)
                mentions.append({o, given});
        }
        QList<QPair<qsizetype, QString>> found;
        QList<int> told;
        for (const auto &[other, text] : mentions) {
            for (const Occurrence &span : occurrencesOf(comment, text)) {
                if (told.contains(other) || within(span, covers))
                    continue;
                const bool inLonger = std::any_of(mentions.begin(), mentions.end(), [&](const auto &m) {
                    return m.second.size() > text.size() && within(span, occurrencesOf(comment, m.second));
                });
                if (inLonger)
                    continue;
                const QString &full = document.slot(other + 1).name;
                found.append({span.start, text == full ? full : QStringLiteral("%1（%2）").arg(text, full)});
                told.append(other);
            }
        }
        std::stable_sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
        for (const auto &[at, detail] : found)
            lines << QStringLiteral("%1 提到其他学生 %2@%3").arg(own, detail).arg(at);
    }
    return lines;
}

} // namespace

class tst_ClassCheck : public QObject
{
    Q_OBJECT

private slots:
    void findings_data();
    void findings();
    void pastPrintArea_data();
    void pastPrintArea();
    void grouped_data();
    void grouped();
    void mentionsAsOneNameAtATime_data();
    void mentionsAsOneNameAtATime();
    void unverifiable_data();
    void unverifiable();
    void nestedNamesInLongComments();
};

void tst_ClassCheck::unverifiable_data()
{
    // The library: one 〔待核实〕 sentence, one with the name placeholder, one unmarked.
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("word for word") << "    你做事认真。作为纪律委员，你以身作则。"
                                   << QStringList{"张三 待核实 作为纪律委员，你以身作则。@10"};
    QTest::newRow("edited by the teacher") << "作为纪律委员，你一直以身作则。" << QStringList{};
    QTest::newRow("the name filled in") << "小明，你的钢琴弹得很好。"
                                        << QStringList{"张三 待核实 ，你的钢琴弹得很好。@2"};
    QTest::newRow("an unmarked stock sentence") << "你做事认真。" << QStringList{};
}

void tst_ClassCheck::unverifiable()
{
    QFETCH(QString, comment);
    QFETCH(QStringList, expected);
    const QStringList library{"作为纪律委员，你以身作则。〔待核实〕", "{名}，你的钢琴弹得很好。〔爱好〕〔待核实〕",
                              "你做事认真。〔专注〕"};
    Options options;
    options.unverifiable = unverifiableSentences(library);
    const CommentDocument document = classOf({"张三=" + comment});
    QCOMPARE(described(document, check(document, options)), expected);
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
    QTest::addColumn<QString>("summary");    // the line under the list counts its rows, not the findings
    QTest::newRow("nothing found") << QStringList{} << QStringList{} << u"没有发现问题。"_qs;
    QTest::newRow("kinds in a fixed order, 重复 last")
        << QStringList{"0 重 甲", "0 提 李四", "1 超 2行", "2 空"}
        << QStringList{"空评语: [2]", "提到其他学生: 李四[0]", "超出打印区域: 2行[1]", "重复: 甲[0]"}
        << u"共发现 4 个问题，涉及 3 名学生。"_qs;
    QTest::newRow("a repeated sentence is one entry with its students")
        << QStringList{"0 重 甲", "1 重 甲", "1 重 乙", "2 重 甲"} << QStringList{"重复: 甲[0,1,2] 乙[1]"}
        << u"共发现 2 个问题，涉及 3 名学生。"_qs;
    QTest::newRow("other kinds keep one entry a finding")
        << QStringList{"0 提 李四", "0 提 王五", "1 提 李四", "3 空", "4 空"}
        << QStringList{"空评语: [3] [4]", "提到其他学生: 李四[0] 王五[0] 李四[1]"}
        << u"共发现 5 个问题，涉及 4 名学生。"_qs;
}

void tst_ClassCheck::grouped()
{
    QFETCH(QStringList, findings);
    QFETCH(QStringList, groups);
    QFETCH(QString, summary);
    QStringList described;
    const QList<Group> found = ClassCheck::grouped(findingsOf(findings));
    for (const Group &group : found) {
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
    QCOMPARE(ClassCheck::summary(found), summary);
}

void tst_ClassCheck::mentionsAsOneNameAtATime_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QString>("characters"); // names and comments are made of these
    QTest::newRow("nested one-character surnames") << 1u << "王一小明。";
    QTest::newRow("two-character surnames") << 2u << "欧阳娜司马光。";
    QTest::newRow("one character over and over") << 3u << "王王王一";
}

// Many small classes whose names nest and overlap: the check finds exactly the mentions that a
// search for one name at a time finds.
void tst_ClassCheck::mentionsAsOneNameAtATime()
{
    QFETCH(quint32, seed);
    QFETCH(QString, characters);
    QRandomGenerator random(seed);
    const auto text = [&](int shortest, int longest) {
        QString made;
        for (int n = random.bounded(shortest, longest + 1); n > 0; --n)
            made += characters.at(random.bounded(int(characters.size())));
        return made;
    };
    for (int round = 0; round < 300; ++round) {
        CommentDocument document;
        const int students = random.bounded(2, 7);
        for (int k = 1; k <= students; ++k)
            document.slot(k) = {text(1, 4), text(0, 40)};
        Options options;
        options.shortestSentence = 1000; // mentions only
        QStringList found;
        for (const QString &line : described(document, check(document, options))) {
            if (!line.contains(u" 空评语"))
                found << line;
        }
        QCOMPARE(found, mentionsOneByOne(document));
    }
}

// 王一 and 王一一 in a class of 100 whose comments repeat 王一一很好。 to some 100,000 characters:
// every other student mentions 王一一 at the start; searched name by name this took minutes.
void tst_ClassCheck::nestedNamesInLongComments()
{
    const QString comment = QStringLiteral("王一一很好。").repeated(16000);
    CommentDocument document;
    document.slot(1) = {QStringLiteral("王一"), comment};
    document.slot(2) = {QStringLiteral("王一一"), comment};
    for (int k = 3; k <= CommentDocument::MaxStudents; ++k)
        document.slot(k) = {QStringLiteral("学生%1").arg(k), comment};
    const QList<Finding> findings = check(document, Options{});
    QCOMPARE(findings.size(), CommentDocument::MaxStudents - 1);
    for (const Finding &finding : findings) {
        QVERIFY(finding.student != 1);
        QCOMPARE(finding.kind, Kind::MentionsOther);
        QCOMPARE(finding.detail, QStringLiteral("王一一"));
        QCOMPARE(finding.position, 0);
    }
}

QTEST_APPLESS_MAIN(tst_ClassCheck)
#include "tst_classcheck.moc"
