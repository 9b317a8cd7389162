#include "core/library/commentlibrary.h"
#include "core/platform/textfile.h"
#include "resultvalue.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <array>
#include <functional>

namespace {

CommentLibrary shipped()
{
    return CommentLibrary(QStringLiteral(QHSY_DATA_DIR "/pyk.vxd"));
}

const QString LinkCategory = QStringLiteral("衔接语");

/// Categories that still hold the text of the old library, not yet rewritten to the rules below.
/// The rules marked as beyond the old text skip them; everything else applies to them too.
/// Shrink this list as categories are rewritten: it must end up empty.
const QStringList OldTextCategories = {};

const QStringList RatingCategories = {
    QStringLiteral("学习态度"), QStringLiteral("课堂表现"),   QStringLiteral("作业完成"),
    QStringLiteral("纪律"),     QStringLiteral("品德修养"),   QStringLiteral("劳动"),
    QStringLiteral("体育与健康"), QStringLiteral("团结友爱"), QStringLiteral("兴趣特长"),
    QStringLiteral("卫生习惯"), QStringLiteral("阅读与积累"), QStringLiteral("集体荣誉"),
    QStringLiteral("总评"),     QStringLiteral("寄语"),
};

const QStringList Topics = QStringLiteral(
    "专注 思考 提问 发言 书写 作业 预习 复习 阅读 积累 计划 坚持 细心 守时 纪律 礼貌 诚信 责任 "
    "合作 友善 集体 劳动 运动 卫生 整理 自信 进步 兴趣 表达 自律 情绪 乐观 成长").split(u' ');
const QStringList Stages = {QStringLiteral("小学低年级"), QStringLiteral("小学高年级"),
                            QStringLiteral("初中"), QStringLiteral("高中")};
const QString PrimaryStage = QStringLiteral("小学"); // both primary stages
const QStringList Terms = {QStringLiteral("上学期"), QStringLiteral("下学期")};
const QString Unverified = QStringLiteral("待核实");
const QString Suggestion = QStringLiteral("建议");
const QString AlsoAbout = QStringLiteral("涉及：");
const QString Link = QStringLiteral("衔接：");
const QString LeadIn = QStringLiteral("衔接：引入：");

QStringList words(const char *list)
{
    return QString::fromUtf8(list).split(u' ');
}

/// One stock comment: the sentence a teacher reads and the marks written after it.
struct StockLine
{
    QString category;
    Rating rating = Rating::Excellent;
    QString text;     ///< as in the file
    QString sentence; ///< without the marks
    QStringList marks;

    bool has(const QString &mark) const { return marks.contains(mark); }
    bool isLink() const { return category == LinkCategory; }
    bool isOldText() const { return OldTextCategories.contains(category); }
    QString where() const { return category + CommentLibrary::letter(rating) + QStringLiteral("：") + text; }

    /// The sentence after the name placeholder it may start with.
    QString afterName() const
    {
        static const QRegularExpression name(QStringLiteral("^\\{(名|姓名)\\}，"));
        return QString(sentence).remove(name);
    }
    bool containsAny(const QStringList &list) const
    {
        return std::any_of(list.begin(), list.end(), [&](const QString &w) { return sentence.contains(w); });
    }
    QStringList topics() const
    {
        QStringList found;
        for (const QString &mark : marks)
            if (Topics.contains(mark))
                found << mark;
        return found;
    }
    /// Whether drafting may draw it for a class of this stage in this term.
    bool drawableFor(const QString &stage, const QString &term) const
    {
        if (has(Unverified))
            return false;
        const bool staged = std::any_of(marks.begin(), marks.end(),
                                        [](const QString &m) { return Stages.contains(m) || m == PrimaryStage; });
        const bool stageFits = !staged || has(stage) || (has(PrimaryStage) && stage.startsWith(PrimaryStage));
        const bool termed = has(Terms[0]) || has(Terms[1]);
        return stageFits && (!termed || has(term));
    }
};

/// Splits the marks 〔…〕 off the end of a comment.
StockLine parsed(const CommentLibrary::Entry &entry)
{
    static const QRegularExpression trailingMark(QStringLiteral("〔([^〔〕]*)〕$"));
    StockLine line{entry.category, entry.rating, entry.text, entry.text, {}};
    for (QRegularExpressionMatch m; (m = trailingMark.match(line.sentence)).hasMatch();) {
        line.marks.prepend(m.captured(1));
        line.sentence.chop(m.capturedLength());
    }
    return line;
}

using Lines = QList<StockLine>;
/// A rule over the whole library: the offending lines (or sections), one description each.
using Offenders = std::function<QStringList(const Lines &)>;

struct LibraryRule
{
    Offenders offenders;
};

/// A rule that judges each comment alone.
Offenders eachLine(std::function<bool(const StockLine &)> breaks)
{
    return [breaks](const Lines &lines) {
        QStringList found;
        for (const StockLine &line : lines)
            if (breaks(line))
                found << line.where();
        return found;
    };
}

/// The lines of one section, in file order.
QList<QPair<QString, Lines>> sections(const Lines &lines)
{
    QList<QPair<QString, Lines>> result;
    for (const StockLine &line : lines) {
        const QString key = line.category + CommentLibrary::letter(line.rating);
        if (result.isEmpty() || result.last().first != key)
            result.append({key, {}});
        result.last().second.append(line);
    }
    return result;
}

/// Each stage and term with how many comments drafting may draw for it in a section.
QStringList countsOutside(const QString &section, const Lines &lines, qsizetype low, qsizetype high)
{
    QStringList found;
    for (const QString &stage : Stages)
        for (const QString &term : Terms) {
            const auto n = std::count_if(lines.begin(), lines.end(),
                                         [&](const StockLine &l) { return l.drawableFor(stage, term); });
            if (n < low || n > high)
                found << QStringLiteral("%1 %2%3：%4 句，应为 %5–%6").arg(section, stage, term).arg(n).arg(low).arg(high);
        }
    return found;
}

/// How many comments each section needs for every stage and term (the connectives aside).
QStringList sectionSizes(const Lines &lines)
{
    const QStringList mainCategories = words("学习态度 课堂表现 作业完成 纪律 品德修养");
    QStringList found;
    for (const auto &[key, section] : sections(lines)) {
        const StockLine &first = section.first();
        if (first.isLink() || first.isOldText())
            continue;
        const int r = int(first.rating); // 好, 中, 差
        qsizetype low = 12, high = 15;
        if (first.category == u"总评" || first.category == u"寄语")
            low = std::array{30, 45, 28}[r], high = 1000;
        else if (mainCategories.contains(first.category))
            low = std::array{28, 34, 28}[r], high = 1000;
        found << countsOutside(key, section, low, high);
    }
    return found;
}

/// 良好 sections of the main categories hold a few mild suggestions; 后进 sections of the rating
/// categories are mostly suggestions (the opening and the closing are neither).
QStringList suggestionShares(const Lines &lines)
{
    const QStringList mainCategories = words("学习态度 课堂表现 作业完成 纪律 品德修养");
    QStringList found;
    for (const auto &[key, section] : sections(lines)) {
        const StockLine &first = section.first();
        if (first.isLink() || first.isOldText() || first.category == u"总评" || first.category == u"寄语")
            continue;
        const auto n = std::count_if(section.begin(), section.end(), [](const StockLine &l) { return l.has(Suggestion); });
        if (first.rating == Rating::Good && mainCategories.contains(first.category) && (n < 8 || n > 10))
            found << QStringLiteral("%1：%2 句〔建议〕，应为 8–10").arg(key).arg(n);
        if (first.rating == Rating::Lagging && n * 2 <= section.size())
            found << QStringLiteral("%1：%2 句中只有 %3 句〔建议〕").arg(key).arg(section.size()).arg(n);
    }
    return found;
}

/// The connectives: a few lead-ins for every rating category, enough of each other role, all in 好.
QStringList linkCounts(const Lines &lines)
{
    QHash<QString, qsizetype> perRole;
    QStringList found;
    for (const StockLine &line : lines) {
        if (!line.isLink())
            continue;
        if (line.rating != Rating::Excellent)
            found << line.where() + QStringLiteral("（只用好段）");
        for (const QString &mark : line.marks)
            if (mark.startsWith(Link))
                ++perRole[mark];
    }
    const auto check = [&](const QString &role, qsizetype low, qsizetype high) {
        const qsizetype n = perRole.value(role);
        if (n < low || n > high)
            found << QStringLiteral("〔%1〕%2 个，应为 %3–%4").arg(role).arg(n).arg(low).arg(high);
    };
    for (const QString &category : RatingCategories)
        check(LeadIn + category, 2, 4);
    check(Link + QStringLiteral("并列"), 8, 10);
    check(Link + QStringLiteral("建议"), 8, 10);
    check(Link + QStringLiteral("结尾"), 6, 8);
    return found;
}

/// A mark the drafting knows: a topic, stage, term, the fixed words, another rating category it
/// also speaks of, and in the connectives one role.
bool knownMark(const StockLine &line, const QString &mark)
{
    if (Topics.contains(mark) || Stages.contains(mark) || mark == PrimaryStage || Terms.contains(mark)
        || mark == Unverified || mark == Suggestion)
        return !line.isLink() || Stages.contains(mark) || mark == PrimaryStage || Terms.contains(mark);
    if (mark.startsWith(AlsoAbout)) {
        const QString other = mark.mid(AlsoAbout.size());
        return !line.isLink() && other != line.category && RatingCategories.contains(other);
    }
    if (mark.startsWith(LeadIn))
        return line.isLink() && RatingCategories.contains(mark.mid(LeadIn.size()));
    return line.isLink() && words("衔接：并列 衔接：建议 衔接：结尾").contains(mark);
}

QStringList phrasesUsedTwice(const Lines &lines, const QStringList &phrases)
{
    QStringList found;
    for (const QString &phrase : phrases) {
        QStringList users;
        for (const StockLine &line : lines)
            if (!line.isOldText() && line.sentence.contains(phrase))
                users << line.where();
        if (users.size() > 1)
            found << phrase + u'：' + users.join(QStringLiteral(" / "));
    }
    return found;
}

QStringList tooManyYouOpenings(const Lines &lines)
{
    QStringList found;
    for (const auto &[key, section] : sections(lines)) {
        if (section.first().isLink() || section.first().isOldText())
            continue;
        const auto n = std::count_if(section.begin(), section.end(),
                                     [](const StockLine &l) { return l.afterName().startsWith(u'你'); });
        if (n * 3 > section.size())
            found << QStringLiteral("%1：%2 句中 %3 句以“你”开头").arg(key).arg(section.size()).arg(n);
    }
    return found;
}

/// A connective is a lead-in: it ends with "，" or "：" and the next sentence follows it.
bool endsWrongly(const StockLine &line)
{
    if (line.sentence.isEmpty())
        return true;
    const QChar last = line.sentence.back();
    return line.isLink() ? !QStringView(u"，：").contains(last) : !QStringView(u"。！？").contains(last);
}

qsizetype lengthAsRead(const StockLine &line)
{
    QString text = line.sentence;
    return text.replace(QStringLiteral("{姓名}"), QStringLiteral("某某某")).replace(QStringLiteral("{名}"), QStringLiteral("某某")).size();
}

} // namespace

Q_DECLARE_METATYPE(LibraryRule)

// The library the program ships with: enough variety that drafts for a whole class differ, and
// every sentence one a class teacher would sign for any child with that rating.
class tst_ShippedLibrary : public QObject
{
    Q_OBJECT

private slots:
    void categoryHoldsEnoughPerRating_data();
    void categoryHoldsEnoughPerRating();
    void noSentenceRepeats();
    void followsTheWritingRules_data();
    void followsTheWritingRules();
    void isBuiltFromItsSources();
};

void tst_ShippedLibrary::categoryHoldsEnoughPerRating_data()
{
    QTest::addColumn<QString>("category");
    for (const char *name : {"学习态度", "课堂表现", "作业完成", "纪律", "品德修养", "总评", "寄语"})
        QTest::newRow(name) << QString::fromUtf8(name);
}

void tst_ShippedLibrary::categoryHoldsEnoughPerRating()
{
    QFETCH(QString, category);
    const CommentLibrary library = shipped();
    for (Rating rating : {Rating::Excellent, Rating::Good, Rating::Lagging}) {
        const qsizetype count = expectValue(library.comments(category, rating)).size();
        QVERIFY2(count >= 18,
                 qPrintable(QString(CommentLibrary::letter(rating)) + u' ' + QString::number(count)));
    }
}

// A sentence shared by two stock comments would make two students' drafts read alike. The marks
// after a comment are no sentence of it.
void tst_ShippedLibrary::noSentenceRepeats()
{
    static const QRegularExpression end(QStringLiteral("[。！？]"));
    QHash<QString, QString> firstSeenIn;
    for (const CommentLibrary::Entry &entry : expectValue(shipped().entries())) {
        for (const QString &part : parsed(entry).sentence.split(end, Qt::SkipEmptyParts)) {
            const QString sentence = part.trimmed();
            if (sentence.isEmpty())
                continue;
            QVERIFY2(!firstSeenIn.contains(sentence),
                     qPrintable(sentence + u'\n' + firstSeenIn.value(sentence) + u'\n' + entry.text));
            firstSeenIn.insert(sentence, entry.text);
        }
    }
}

void tst_ShippedLibrary::followsTheWritingRules_data()
{
    QTest::addColumn<LibraryRule>("rule");
    // A rule the old text was not written to: it skips the categories in OldTextCategories.
    const auto newText = [](std::function<bool(const StockLine &)> breaks) {
        return eachLine([breaks](const StockLine &l) { return !l.isOldText() && breaks(l); });
    };
    const auto row = [](const char *name, Offenders offenders) {
        QTest::newRow(name) << LibraryRule{std::move(offenders)};
    };

    row("full-width punctuation", eachLine([](const StockLine &l) {
            static const QRegularExpression ascii(QStringLiteral("[,.!?:;\"'()]"));
            return l.sentence.contains(ascii);
        }));
    row("15 to 60 characters", newText([](const StockLine &l) {
            return !l.isLink() && (lengthAsRead(l) < 15 || lengthAsRead(l) > 60);
        }));
    row("ends as a sentence or a lead-in", newText(endsWrongly));
    // 其他 and 他人 mean other people; every other 他 or 她 would speak of the child in the third person.
    row("no he or she", newText([](const StockLine &l) {
            const QString rest = QString(l.sentence).remove(QStringLiteral("其他")).remove(QStringLiteral("他人"));
            return rest.contains(u'他') || rest.contains(u'她');
        }));
    row("no gender-coded words", eachLine([](const StockLine &l) {
            return l.containsAny(words("甜甜 文静 温柔 漂亮 帅气 英俊 男子汉 淑女 秀气 小公主 小王子 阳刚 贤惠 大哥哥 大姐姐"));
        }));
    row("nothing scolding in 良好", eachLine([](const StockLine &l) {
            static const QRegularExpression habitual(QStringLiteral("常常|总是|经常|老是"));
            return l.rating == Rating::Good && !l.isLink()
                && ((l.has(Suggestion) && l.sentence.contains(habitual))
                    || l.containsAny(words("三天打鱼 两天晒网 屡教不改 不思进取 心不在焉 拖拖拉拉 磨磨蹭蹭 "
                                           "调皮捣蛋 捣乱 不求上进 懒散 贪玩 令人失望 不像话")));
        }));
    row("facts and accusations marked 待核实", newText([](const StockLine &l) {
            return !l.has(Unverified)
                && l.containsAny(words("班干部 班长 委员 组长 课代表 队长 获奖 得奖 奖状 冠军 第一名 第一个 唯一 "
                                       "钢琴 画展 感冒 请假 生病 体质 洗澡 换衣 不诚实 撒谎 说谎 偷拿 偷东西 "
                                       "作弊 拿别人 在家 家里 爸爸 妈妈 父母 爷爷 奶奶 笨 拙 懒惰"));
        }));
    row("stage words marked", newText([](const StockLine &l) {
            const bool staged = std::any_of(l.marks.begin(), l.marks.end(), [](const QString &m) {
                return Stages.contains(m) || m == PrimaryStage;
            });
            return !staged && l.containsAny(words("小学 初中 中学 高中 高考 中考 拼音 少先队 红领巾 共青团 团员 "
                                                 "青春期 小朋友 升学 毕业 初一 初二 初三 高一 高二 高三 "
                                                 "低年级 高年级 一年级 二年级 三年级 四年级 五年级 六年级"));
        }));
    row("term words marked", newText([](const StockLine &l) {
            return !l.has(Terms[0]) && !l.has(Terms[1])
                && l.containsAny(words("寒假 暑假 新学期 新的学期 下学期 新学年 新的学年 新的一年 新年"));
        }));
    row("known marks only", newText([](const StockLine &l) {
            return std::any_of(l.marks.begin(), l.marks.end(), [&](const QString &m) { return !knownMark(l, m); });
        }));
    row("one topic, or one role for a connective", newText([](const StockLine &l) {
            if (!l.isLink())
                return l.topics().size() != 1;
            return std::count_if(l.marks.begin(), l.marks.end(), [](const QString &m) { return m.startsWith(Link); }) != 1;
        }));
    row("no suggestion in 优秀", eachLine([](const StockLine &l) {
            return !l.isLink() && l.rating == Rating::Excellent && l.has(Suggestion);
        }));
    row("names only at the start of 总评", eachLine([](const StockLine &l) {
            const bool mayName = l.category == u"总评";
            return l.afterName().contains(u'{') || l.afterName().contains(u'}') || (!mayName && l.afterName() != l.sentence);
        }));
    row("enough sentences per stage and term", sectionSizes);
    row("suggestions where they belong", suggestionShares);
    row("connectives per role", linkCounts);
    row("stock phrases at most once", [](const Lines &lines) {
        return phrasesUsedTwice(lines, words("更上一层楼 百尺竿头 再接再厉 一分耕耘 天道酬勤 磨砺 苦寒来 书山有路 "
                                             "学海无涯 勤能补拙 铁杵 不积跬步 千里之行 有志者 水滴石穿 锲而不舍 "
                                             "持之以恒 精益求精 脚踏实地 乘风破浪 展翅高飞 鹏程万里 前程似锦 "
                                             "勇攀高峰 出类拔萃 品学兼优 名列前茅 扬帆起航 茁壮成长 闪闪发光 "
                                             "一步一个脚印 有目共睹 日积月累 全力以赴 迎难而上 坚持不懈"));
    });
    row("at most a third open with 你", tooManyYouOpenings);
}

// Every rule a program can check on the shipped sentences; a failure lists every offender.
void tst_ShippedLibrary::followsTheWritingRules()
{
    QFETCH(LibraryRule, rule);
    Lines lines;
    for (const CommentLibrary::Entry &entry : expectValue(shipped().entries()))
        lines << parsed(entry);
    QVERIFY(lines.size() > 500);
    const QStringList offenders = rule.offenders(lines);
    QVERIFY2(offenders.isEmpty(), qPrintable(u'\n' + offenders.join(u'\n')));
}

// data/pyk.vxd is generated from tools/library (one UTF-8 file a category, by
// scripts/build-library.sh): the two must agree byte for byte.
void tst_ShippedLibrary::isBuiltFromItsSources()
{
    const QDir sources(QStringLiteral(QHSY_DATA_DIR "/../tools/library"));
    const QStringList categories = expectValue(shipped().categoryNames());
    QStringList files = sources.entryList({QStringLiteral("*.txt")}, QDir::Files);
    for (QString &file : files)
        file.chop(4);
    std::sort(files.begin(), files.end());
    QStringList sortedCategories = categories;
    std::sort(sortedCategories.begin(), sortedCategories.end());
    QCOMPARE(files, sortedCategories);

    QString joined;
    for (const QString &category : categories) {
        QFile source(sources.filePath(category + QStringLiteral(".txt")));
        QVERIFY(source.open(QIODevice::ReadOnly));
        for (const QString &line : QString::fromUtf8(source.readAll()).remove(u'\r').split(u'\n', Qt::SkipEmptyParts))
            joined += line + TextFile::CrLf;
    }
    QFile built(shipped().path());
    QVERIFY(built.open(QIODevice::ReadOnly));
    QVERIFY2(built.readAll() == TextFile::encode(joined), "run scripts/build-library.sh");
}

QTEST_APPLESS_MAIN(tst_ShippedLibrary)
#include "tst_shippedlibrary.moc"
