#include "core/app/classcheck.h"

#include "core/document/commentdocument.h"
#include "core/document/writingprogress.h"
#include "core/printing/fitcheck.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace ClassCheck {

namespace {

const QStringList TwoCharacterSurnames = {
    QStringLiteral("欧阳"), QStringLiteral("司马"), QStringLiteral("诸葛"), QStringLiteral("上官"),
    QStringLiteral("东方"), QStringLiteral("皇甫"), QStringLiteral("尉迟"), QStringLiteral("公孙"),
    QStringLiteral("慕容"), QStringLiteral("长孙"), QStringLiteral("宇文"), QStringLiteral("司徒"),
    QStringLiteral("令狐"), QStringLiteral("夏侯"), QStringLiteral("轩辕"), QStringLiteral("端木"),
    QStringLiteral("南宫"), QStringLiteral("西门"), QStringLiteral("独孤"), QStringLiteral("呼延"),
};

// The detail of 超出打印区域: the kind says the rest.
const QString LinesOverText = QStringLiteral("%1 行");

struct Span
{
    qsizetype start = 0;
    qsizetype end = 0; // one past
};

/// Every occurrence of `needle` in `text`.
QList<Span> occurrences(QStringView text, QStringView needle)
{
    QList<Span> found;
    if (needle.isEmpty())
        return found;
    for (qsizetype at = text.indexOf(needle); at >= 0; at = text.indexOf(needle, at + 1))
        found.append({at, at + needle.size()});
    return found;
}

bool inside(const Span &span, const QList<Span> &covers)
{
    return std::any_of(covers.begin(), covers.end(),
                       [&](const Span &cover) { return cover.start <= span.start && span.end <= cover.end; });
}

/// A name another student is mentioned by: the full name, or the given name of two or more
/// characters.
struct Mention
{
    int student;
    QString text;
    QString fullName;
};

void findMentions(const CommentDocument &document, int students, int student, QList<Finding> &findings)
{
    const QString &comment = document.slot(student + 1).comment;
    const QString &own = document.slot(student + 1).name;
    // What never counts: the student's own name (full or given), and any name of the class
    // that holds a shorter one (王小明 holds 王小).
    QList<Span> covers = occurrences(comment, own);
    if (const QString given = givenName(own); WritingProgress::characterCount(given) >= 2)
        covers += occurrences(comment, given);

    QList<Mention> mentions;
    for (int other = 0; other < students; ++other) {
        const QString &name = document.slot(other + 1).name;
        if (other == student || name == own)
            continue;
        mentions.append({other, name, name});
        if (const QString given = givenName(name);
            WritingProgress::characterCount(given) >= 2 && given != own)
            mentions.append({other, given, name});
    }
    QSet<int> told;
    const qsizetype first = findings.size();
    for (const Mention &mention : mentions) {
        if (told.contains(mention.student))
            continue;
        for (const Span &span : occurrences(comment, mention.text)) {
            if (inside(span, covers))
                continue;
            // Inside a longer name of the class: that name is the one mentioned.
            const bool longer = std::any_of(mentions.begin(), mentions.end(), [&](const Mention &m) {
                return m.text.size() > mention.text.size() && m.text.contains(mention.text) &&
                       inside(span, occurrences(comment, m.text));
            });
            if (longer)
                continue;
            const QString detail = mention.text == mention.fullName
                                       ? mention.fullName
                                       : QStringLiteral("%1（%2）").arg(mention.text, mention.fullName);
            findings.append(
                {student, Kind::MentionsOther, detail, int(span.start), int(span.end - span.start)});
            told.insert(mention.student);
            break;
        }
    }
    std::stable_sort(findings.begin() + first, findings.end(),
                     [](const Finding &a, const Finding &b) { return a.position < b.position; });
}

/// The sentences of a comment (split after 。！？；), without blanks around them, with where
/// each starts.
QList<Span> sentenceSpans(const QString &comment)
{
    QList<Span> spans;
    qsizetype start = 0;
    const auto close = [&](qsizetype end) {
        qsizetype s = start;
        qsizetype e = end;
        while (s < e && comment.at(s).isSpace())
            ++s;
        while (e > s && comment.at(e - 1).isSpace())
            --e;
        if (e > s)
            spans.append({s, e});
    };
    for (qsizetype i = 0; i < comment.size(); ++i) {
        const QChar c = comment.at(i);
        if (c == u'。' || c == u'！' || c == u'？' || c == u'；') {
            close(i);
            start = i + 1;
        }
    }
    close(comment.size());
    return spans;
}

} // namespace

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::EmptyComment:
        return QStringLiteral("空评语");
    case Kind::MentionsOther:
        return QStringLiteral("提到其他学生");
    case Kind::Repeated:
        return QStringLiteral("重复");
    case Kind::PastPrintArea:
        break;
    }
    return QStringLiteral("超出打印区域");
}

QString givenName(const QString &name)
{
    for (const QString &surname : TwoCharacterSurnames) {
        if (name.startsWith(surname) && name.size() > surname.size())
            return name.mid(surname.size());
    }
    // One character, which may be a surrogate pair.
    const qsizetype first =
        name.size() >= 2 && name.at(0).isHighSurrogate() && name.at(1).isLowSurrogate() ? 2 : 1;
    return name.size() > first ? name.mid(first) : QString();
}

QList<Finding> check(const CommentDocument &document, const Options &options)
{
    const int students = document.studentCount();

    // Sentence → how many students' comments hold it; per student its sentences, each once,
    // where they first stand.
    QHash<QString, int> holders;
    QList<QList<QPair<QString, Span>>> own(students);
    for (int student = 0; student < students; ++student) {
        const QString &comment = document.slot(student + 1).comment;
        QSet<QString> seen;
        for (const Span &span : sentenceSpans(comment)) {
            QString sentence = comment.mid(span.start, span.end - span.start);
            if (WritingProgress::characterCount(sentence) < options.shortestSentence ||
                seen.contains(sentence))
                continue;
            seen.insert(sentence);
            ++holders[sentence];
            own[student].append({std::move(sentence), span});
        }
    }

    QList<Finding> findings;
    for (int student = 0; student < students; ++student) {
        const QString &comment = document.slot(student + 1).comment;
        if (!WritingProgress::isWritten(comment)) {
            findings.append({student, Kind::EmptyComment, QString(), -1, 0});
            continue;
        }
        findMentions(document, students, student, findings);

        for (const auto &[sentence, span] : own[student]) {
            const int count = holders.value(sentence);
            if (count > options.repeatLimit)
                findings.append({student, Kind::Repeated,
                                 QStringLiteral("%1（共 %2 人）").arg(sentence).arg(count), int(span.start),
                                 int(span.end - span.start)});
        }

        if (options.scheme && options.measurer) {
            if (const int over =
                    FitCheck::linesPastBox(document, student, *options.scheme, *options.measurer))
                findings.append({student, Kind::PastPrintArea, LinesOverText.arg(over), -1, 0});
        }
    }
    return findings;
}

QList<Group> grouped(const QList<Finding> &findings)
{
    constexpr Kind Order[] = {Kind::EmptyComment, Kind::MentionsOther, Kind::PastPrintArea, Kind::Repeated};
    QList<Group> groups;
    for (const Kind kind : Order) {
        Group group{kind, {}};
        // A repeated sentence's detail (the sentence and how many hold it) is the same in every
        // comment holding it: it stands for the sentence.
        QHash<QString, qsizetype> sentences;
        for (const Finding &finding : findings) {
            if (finding.kind != kind)
                continue;
            if (kind == Kind::Repeated) {
                if (const auto at = sentences.constFind(finding.detail); at != sentences.cend()) {
                    group.entries[*at].findings.append(finding);
                    continue;
                }
                sentences.insert(finding.detail, group.entries.size());
            }
            group.entries.append({finding.detail, {finding}});
        }
        if (!group.entries.isEmpty())
            groups.append(std::move(group));
    }
    return groups;
}

} // namespace ClassCheck
