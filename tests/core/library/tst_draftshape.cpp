#include "core/document/personname.h"
#include "core/library/drafts.h"
#include "core/library/stockcomment.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace Drafts;

namespace {

// Characters for made-up sentences: no 你, 他, 她, 希, 望 and none of the students' names.
const QString Pool = QStringLiteral(
    "的一是了在有人这中大为上个国我以要时来用们生到作地于出就分对成会可主发年动同工也能下过子说产种面而方"
    "后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制机当使点从业本去把性好"
    "应开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新线内数正心反明看原又么利比或但质气第向"
    "道命此变条只没结解问意建月公无系军很情者最立代想已通并提直题党程展五果料象员革位入常文总次品式活设及管");
const QStringList Middle = {"学习态度", "课堂表现", "作业完成", "纪律", "团结友爱"};
const QStringList Topics = {"专注", "自信", "书写", "守时", "阅读"};
const QStringList StageMarks = {"小学低年级", "小学高年级", "小学", "初中", "高中"};
const QStringList Names = {"龚翀", "欧阳翎", "邬玥", "闫翙", "司马翊"};

/// A made-up library with marks of every kind, `size` sentences a section, and what each line means.
struct Made
{
    Library library;
    QHash<QString, StockComment> meaning; ///< sentence (marks taken off) -> the line read
};

QString han(QRandomGenerator &rng, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += Pool.at(qsizetype(rng.bounded(quint32(Pool.size()))));
    return text;
}

Made madeLibrary(int size, quint32 seed)
{
    QRandomGenerator rng(seed);
    Made made;
    const auto add = [&](const QString &category, Rating rating, const QString &line) {
        made.meaning.insert(StockComment::parse(line).text, StockComment::parse(line));
        if (category == StockComment::ConnectiveCategory) {
            made.library.connectives.append(line);
            return;
        }
        if (!made.library.comments.contains(category))
            made.library.categories.append(category);
        made.library.comments[category][std::size_t(rating)].append(line);
        made.meaning.insert(StockComment::parse(line).text, StockComment::parse(line));
    };
    const QStringList categories = QStringList{"总评"} + Middle + QStringList{"寄语"};
    for (const QString &category : categories) {
        for (Rating rating : {Rating::Excellent, Rating::Good, Rating::Lagging}) {
            for (int i = 0; i < size; ++i) {
                QString text = category == "总评" && rng.bounded(3) == 0 ? "{名}，" : QString();
                text += rng.bounded(2) == 0 ? "你" : QString();
                text += han(rng, 6 + int(rng.bounded(8u)));
                if (rng.bounded(6) == 0)
                    text += "认真负责"; // a phrase many sentences share
                if (rng.bounded(12) == 0)
                    text += "，认真负责"; // and a sentence that says it twice
                if ((category == "寄语" && rng.bounded(2) == 0) || rng.bounded(10) == 0)
                    text += "希望";
                text += "，" + han(rng, 6 + int(rng.bounded(10u))) + "。";
                if (rng.bounded(2) == 0)
                    text += "〔" + Topics.at(rng.bounded(quint32(Topics.size()))) + "〕";
                if (rng.bounded(5) == 0)
                    text += "〔" + StageMarks.at(rng.bounded(quint32(StageMarks.size()))) + "〕";
                if (rng.bounded(6) == 0)
                    text += rng.bounded(2) == 0 ? "〔上学期〕" : "〔下学期〕";
                if (rng.bounded(8) == 0)
                    text += "〔待核实〕";
                if ((rating == Rating::Good && rng.bounded(3) == 0) || (rating == Rating::Lagging && rng.bounded(3) != 0))
                    text += "〔建议〕";
                if (category == "总评" && rng.bounded(6) == 0)
                    text += "〔涉及：纪律〕";
                add(category, rating, text);
            }
        }
    }
    for (const QString &category : Middle) {
        for (int i = 0; i < 2; ++i)
            add("衔接语", Rating::Excellent, han(rng, 3) + "，〔衔接：引入：" + category + "〕");
    }
    for (const char *role : {"并列", "并列", "建议", "建议", "结尾"})
        add("衔接语", Rating::Excellent, han(rng, 4) + "，〔衔接：" + role + "〕");
    add("衔接语", Rating::Excellent, "新学期里，〔衔接：结尾〕〔上学期〕");
    add("衔接语", Rating::Excellent, "新学年里，〔衔接：结尾〕〔下学期〕");
    return made;
}

/// Typical ratings: a quarter 优秀, three fifths 良好, the rest 后进, each category near the student's.
QList<Ratings> classRatings(const Library &library, int students, quint32 seed)
{
    QRandomGenerator rng(seed);
    QList<Ratings> ratings;
    for (int s = 0; s < students; ++s) {
        const int pick = int(rng.bounded(20u));
        const Rating usual = pick < 5 ? Rating::Excellent : (pick < 17 ? Rating::Good : Rating::Lagging);
        Ratings rated;
        for (const QString &category : library.categories) {
            rated.insert(category, rng.bounded(4) == 0 ? Rating(rng.bounded(3)) : usual);
        }
        ratings.append(rated);
    }
    return ratings;
}

QStringList classNames(int students)
{
    QStringList names;
    for (int s = 0; s < students; ++s)
        names << Names.at(s % Names.size()) + QString(QChar(0x4E00 + 0x5000 + s)); // 伀…: outside Pool
    return names;
}

bool isHan(QChar c)
{
    return c.unicode() >= 0x3400 && c.unicode() <= 0x9FFF;
}

/// The first four-character phrase the text holds twice; "" when none.
QString phraseTwice(const QString &text)
{
    QSet<QString> seen;
    for (qsizetype i = 0; i + 4 <= text.size(); ++i) {
        const QString phrase = text.sliced(i, 4);
        if (!std::all_of(phrase.cbegin(), phrase.cend(), isHan))
            continue;
        if (seen.contains(phrase))
            return phrase;
        seen.insert(phrase);
    }
    return {};
}

} // namespace

class tst_DraftShape : public QObject
{
    Q_OBJECT

private slots:
    void marks_data();
    void marks();
    void classDrafts_data();
    void classDrafts();
    void repeatsReported_data();
    void repeatsReported();
    void chosenColumns_data();
    void chosenColumns();
    void lengthOf_data();
    void lengthOf();
};

void tst_DraftShape::marks_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("topics");
    QTest::addColumn<QString>("flags"); // s suggestion, u unverifiable, then concerns and role
    QTest::addColumn<int>("stages");
    QTest::addColumn<int>("term"); // -1 none
    QTest::newRow("no marks") << "你上课很专心。" << "你上课很专心。" << QStringList{} << "" << 0 << -1;
    QTest::newRow("topics and a stage") << "你听课专注。〔专注〕〔初中〕" << "你听课专注。" << QStringList{"专注"} << ""
                                        << 1 << -1;
    QTest::newRow("小学 is both primary stages") << "字写得工整。〔小学〕〔书写〕" << "字写得工整。"
                                                 << QStringList{"书写"} << "" << 2 << -1;
    QTest::newRow("every kind") << "有时粗心。〔建议〕〔待核实〕〔涉及：纪律〕〔下学期〕" << "有时粗心。" << QStringList{}
                                << "su纪律" << 0 << int(Term::Second);
    QTest::newRow("a connective") << "学习上，〔衔接：引入：学习态度〕" << "学习上，" << QStringList{} << "引入：学习态度"
                                  << 0 << -1;
    QTest::newRow("a bracket inside the sentence stays text") << "书名〔注〕写在前面。" << "书名〔注〕写在前面。"
                                                              << QStringList{} << "" << 0 << -1;
    QTest::newRow("an empty mark ends the marks") << "好。〔〕〔专注〕" << "好。〔〕" << QStringList{"专注"} << "" << 0
                                                  << -1;
}

void tst_DraftShape::marks()
{
    QFETCH(QString, line);
    QFETCH(QString, text);
    QFETCH(QStringList, topics);
    QFETCH(QString, flags);
    QFETCH(int, stages);
    QFETCH(int, term);
    const StockComment comment = StockComment::parse(line);
    QCOMPARE(comment.text, text);
    QCOMPARE(StockComment::stripMarks(line), text);
    QCOMPARE(comment.topics, topics);
    QCOMPARE(QString(QStringLiteral("%1%2%3%4")
                         .arg(comment.suggestion ? "s" : "", comment.unverifiable ? "u" : "", comment.concerns,
                              comment.role)),
             flags);
    QCOMPARE(comment.stages.size(), stages);
    QCOMPARE(comment.term ? int(*comment.term) : -1, term);
}

void tst_DraftShape::classDrafts_data()
{
    QTest::addColumn<int>("size");     // sentences a section
    QTest::addColumn<int>("students");
    QTest::addColumn<int>("stage");    // -1: not set
    QTest::addColumn<int>("term");     // -1: not set
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<bool>("shared");  // whether some sentence stands in two drafts
    // A library this small cannot keep every rule of voice and length for a class; its drafts
    // keep the rules of what may be drawn at all.
    QTest::newRow("小学低年级 上学期, large library") << 160 << 50 << int(Stage::LowerPrimary) << int(Term::First) << 1u << false;
    QTest::newRow("小学 下学期") << 160 << 50 << int(Stage::Primary) << int(Term::Second) << 2u << false;
    QTest::newRow("初中 下学期") << 160 << 50 << int(Stage::Junior) << int(Term::Second) << 3u << false;
    QTest::newRow("高中 上学期") << 160 << 50 << int(Stage::Senior) << int(Term::First) << 4u << false;
    QTest::newRow("no stage or term set") << 160 << 40 << -1 << -1 << 5u << false;
    QTest::newRow("a small library") << 12 << 30 << int(Stage::UpperPrimary) << int(Term::First) << 6u << true;
}

void tst_DraftShape::classDrafts()
{
    QFETCH(int, size);
    QFETCH(int, students);
    QFETCH(int, stage);
    QFETCH(int, term);
    QFETCH(quint32, seed);
    QFETCH(bool, shared);
    const Made made = madeLibrary(size, seed);
    Options options;
    if (stage >= 0)
        options.settings.stage = Stage(stage);
    if (term >= 0)
        options.settings.term = Term(term);
    const QList<Ratings> ratings = classRatings(made.library, students, seed);
    const QStringList names = classNames(students);
    const QList<Draft> drafts = draftClass(made.library, names, ratings, seed, options);

    for (int k = 0; k < students; ++k) {
        const Draft &draft = drafts.at(k);
        const QString &text = draft.text;
        const QString why = names.at(k) + ": " + text;
        QVERIFY2(text.startsWith(ParagraphIndent), qPrintable(why));
        // Shape: 总评 first, 寄语 last, at most two strengths, suggestions as the ratings allow.
        QCOMPARE(draft.categories.first(), QStringLiteral("总评"));
        QCOMPARE(draft.categories.last(), QStringLiteral("寄语"));
        int lagging = 0;
        for (const Rating rating : ratings.at(k))
            lagging += rating == Rating::Lagging ? 1 : 0;
        int strengths = 0;
        int suggestions = 0;
        for (qsizetype i = 1; i + 1 < draft.stock.size(); ++i)
            (made.meaning.value(draft.stock.at(i)).suggestion ? suggestions : strengths)++;
        QVERIFY2(strengths >= 1 && strengths <= 2, qPrintable(why));
        QVERIFY2(suggestions <= (lagging * 2 > ratings.at(k).size() ? 2 : 1), qPrintable(why));
        QCOMPARE(draft.leftOut.size() + draft.categories.size(), qsizetype(ratings.at(k).size()));
        if (!shared) {
        // One voice: the name once at most and at the start, no 他/她, no two 你-openings in a row.
        const QString given = PersonName::givenName(names.at(k));
        QVERIFY2(text.count(given) <= 1, qPrintable(why));
        if (text.contains(given))
            QVERIFY2(text.indexOf(given) <= ParagraphIndent.size() + 2, qPrintable(why));
        QVERIFY2(!text.contains(u'他') && !text.contains(u'她'), qPrintable(why));
        for (qsizetype i = 1; i < draft.stock.size(); ++i)
            QVERIFY2(!(draft.stock.at(i - 1).startsWith(u'你') && draft.stock.at(i).startsWith(u'你')), qPrintable(why));
        QVERIFY2(text.count(QStringLiteral("希望")) <= 2, qPrintable(why));
        QVERIFY2(phraseTwice(text).isEmpty(), qPrintable(why + " / " + phraseTwice(text)));
        const int length = Drafts::lengthOf(text);
        QVERIFY2(length >= options.settings.minimum() && length <= options.settings.maximum(),
                 qPrintable(QString::number(length) + " " + why));
        }
        // Nothing to check drawn, nothing of another stage or term, one sentence a topic.
        QSet<QString> topics;
        for (qsizetype i = 0; i < draft.stock.size(); ++i) {
            const StockComment sentence = made.meaning.value(draft.stock.at(i));
            QVERIFY2(!sentence.unverifiable, qPrintable(why));
            QVERIFY2(sentence.fits(options.settings), qPrintable(why));
            if (!draft.links.at(i).isEmpty())
                QVERIFY2(made.meaning.value(draft.links.at(i)).fits(options.settings), qPrintable(why));
            for (const QString &topic : sentence.topics) {
                QVERIFY2(!topics.contains(topic), qPrintable(why));
                topics.insert(topic);
            }
            if (!sentence.concerns.isEmpty())
                QCOMPARE(ratings.at(k).value(sentence.concerns), ratings.at(k).value(draft.categories.at(i)));
        }
    }
    QCOMPARE(!repeats(drafts).isEmpty(), shared);
}

void tst_DraftShape::repeatsReported_data()
{
    // One category of two sentences: the third student has to repeat one.
    QTest::addColumn<int>("students");
    QTest::addColumn<QString>("report"); // %1 the sentence, %2 and %3 its students
    QTest::newRow("no repeats") << 2 << "全班没有重复的句子。";
    QTest::newRow("a sentence in two drafts") << 3 << "有 1 句话出现在不止一份草稿里：\n“%1”：%2、%3";
}

void tst_DraftShape::repeatsReported()
{
    QFETCH(int, students);
    QFETCH(QString, report);
    Library library;
    library.categories = {"纪律"};
    library.comments["纪律"][std::size_t(Rating::Good)] = {"好。", "很好。"};
    const QStringList names = QStringList{"甲", "乙", "丙"}.first(students);
    const QList<Draft> drafts = draftClass(library, names, QList<Ratings>(students, {{"纪律", Rating::Good}}), 1);
    const QList<Repeat> found = repeats(drafts);
    QCOMPARE(found.size(), students - 2);
    if (!found.isEmpty())
        report = report.arg(found.first().sentence, names.at(found.first().students.at(0)),
                            names.at(found.first().students.at(1)));
    QCOMPARE(repeatReport(drafts, names), report);
}

void tst_DraftShape::chosenColumns_data()
{
    // Library: 总评, 学习态度, 纪律, 作业完成, 寄语, each with one praise and one suggestion for 良好.
    QTest::addColumn<QStringList>("columns"); // the columns drafted; empty: every column
    QTest::addColumn<QStringList>("required");
    QTest::addColumn<QStringList>("used");
    QTest::addColumn<QStringList>("leftOut");
    const QStringList all{"总评", "学习态度", "纪律", "作业完成", "寄语"};
    QTest::newRow("every column") << QStringList{} << QStringList{} << QStringList{"总评", "学习态度", "纪律", "作业完成", "寄语"}
                                  << QStringList{};
    QTest::newRow("a hidden column is left out") << QStringList{"总评", "学习态度", "纪律", "寄语"} << QStringList{}
                                                 << QStringList{"总评", "学习态度", "纪律", "寄语"} << QStringList{};
    QTest::newRow("beyond the shape, 必写 gets its sentence")
        << QStringList{} << QStringList{"作业完成"} << all << QStringList{};
}

void tst_DraftShape::chosenColumns()
{
    QFETCH(QStringList, columns);
    QFETCH(QStringList, required);
    QFETCH(QStringList, used);
    QFETCH(QStringList, leftOut);
    Library library;
    for (const QString category : {"总评", "学习态度", "纪律", "作业完成", "寄语"}) {
        library.categories.append(category);
        library.comments[category][std::size_t(Rating::Good)] = {category + "方面做得不错。",
                                                                 category + "方面还可以更细心。〔建议〕"};
    }
    Ratings rated;
    for (const QString &category : library.categories)
        rated.insert(category, Rating::Good);
    Options options;
    if (!columns.isEmpty())
        options.columns = columns;
    options.settings.required = required;
    const Draft draft = draftClass(library, {"王小明"}, {rated}, 1, options).first();
    QCOMPARE(QSet<QString>(draft.categories.cbegin(), draft.categories.cend()),
             QSet<QString>(used.cbegin(), used.cend()));
    QCOMPARE(draft.leftOut, leftOut);
    QCOMPARE(draft.required, required);
    // Fitting the paper keeps a 必写 sentence.
    const Draft fitted = fitToBox(draft, [](const QString &text) { return text.size() < 30; });
    for (const QString &category : required)
        QVERIFY(fitted.categories.contains(category));
}

void tst_DraftShape::lengthOf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    QTest::newRow("indent and blanks are not counted") << "    你好，  世界。" << 6;
    QTest::newRow("a character outside the BMP is one") << "𠀀好" << 2;
}

void tst_DraftShape::lengthOf()
{
    QFETCH(QString, text);
    QFETCH(int, length);
    QCOMPARE(Drafts::lengthOf(text), length);
}

QTEST_APPLESS_MAIN(tst_DraftShape)

#include "tst_draftshape.moc"
