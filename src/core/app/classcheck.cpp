#include "core/app/classcheck.h"

#include "core/library/drafts.h"
#include "core/library/stockcomment.h"

#include "core/document/commentdocument.h"
#include "core/document/personname.h"
#include "core/document/writingprogress.h"
#include "core/printing/fitcheck.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace ClassCheck {

namespace {

// The detail of 超出打印区域: the kind says the rest.
const QString LinesOverText = QStringLiteral("%1 行");

struct Span
{
    qsizetype start = 0;
    qsizetype end = 0; // one past
};

/// A name another student is mentioned by: the full name, or the given name of two or more
/// characters.
struct Mention
{
    int student;
    QString text;
    QString fullName;
};

/// Names read from the end of a comment towards its start: an Aho–Corasick automaton over the
/// reversed names, so that after each character it knows the longest name (of each sort) that
/// starts there. One pass over the comment, however the names nest.
class NameAutomaton
{
public:
    enum Sort { Mentioned, Covering };

    NameAutomaton() { m_nodes.append(Node{}); }

    void add(QStringView name, Sort sort)
    {
        if (name.isEmpty())
            return;
        int node = 0;
        for (qsizetype i = name.size() - 1; i >= 0; --i) {
            const quint64 key = edgeKey(node, name[i]);
            auto at = m_edges.constFind(key);
            if (at == m_edges.cend()) {
                m_nodes.append(Node{});
                at = m_edges.insert(key, int(m_nodes.size() - 1));
            }
            node = *at;
        }
        m_nodes[node].longest[sort] = int(name.size());
    }

    /// Links every node to the longest proper suffix that is also a node, breadth first, and
    /// lets each node inherit the longest names of that suffix it does not hold itself.
    void finish()
    {
        QList<QList<QPair<char16_t, int>>> children(m_nodes.size());
        for (auto it = m_edges.cbegin(); it != m_edges.cend(); ++it)
            children[int(it.key() >> 16)].append({char16_t(it.key() & 0xFFFF), it.value()});
        QList<int> queue{0};
        for (qsizetype head = 0; head < queue.size(); ++head) {
            const int node = queue[head];
            for (const auto &[c, child] : children[node]) {
                m_nodes[child].fail = node == 0 ? 0 : step(m_nodes[node].fail, c);
                const Node &fail = m_nodes[m_nodes[child].fail];
                for (int sort : {Mentioned, Covering}) {
                    if (m_nodes[child].longest[sort] == 0)
                        m_nodes[child].longest[sort] = fail.longest[sort];
                }
                queue.append(child);
            }
        }
    }

    /// The node after reading c from the given one.
    int step(int node, QChar c) const
    {
        for (;;) {
            if (const auto at = m_edges.constFind(edgeKey(node, c)); at != m_edges.cend())
                return *at;
            if (node == 0)
                return 0;
            node = m_nodes[node].fail;
        }
    }

    /// The length of the longest name of the sort that ends the text read (0 for none).
    int longest(int node, Sort sort) const { return m_nodes[node].longest[sort]; }

private:
    struct Node
    {
        int fail = 0;
        int longest[2] = {0, 0};
    };

    static quint64 edgeKey(int node, QChar c) { return (quint64(node) << 16) | c.unicode(); }

    QList<Node> m_nodes;
    QHash<quint64, int> m_edges;
};

void findMentions(const CommentDocument &document, int students, int student, QList<Finding> &findings)
{
    const QString &comment = document.slot(student + 1).comment;
    const QString &own = document.slot(student + 1).name;
    NameAutomaton names;
    // What never counts: the student's own name (full or given), and any name of the class
    // that holds a shorter one (王小明 holds 王小).
    names.add(own, NameAutomaton::Covering);
    if (const QString given = PersonName::givenName(own); given != own)
        names.add(given, NameAutomaton::Covering);

    QList<Mention> mentions;
    QHash<QString, qsizetype> firstAt; // a mentioned name → where it first stands on its own
    for (int other = 0; other < students; ++other) {
        const QString &name = document.slot(other + 1).name;
        if (other == student || name == own)
            continue;
        mentions.append({other, name, name});
        if (const QString given = PersonName::givenName(name); given != name && given != own)
            mentions.append({other, given, name});
    }
    for (const Mention &mention : mentions) {
        names.add(mention.text, NameAutomaton::Mentioned);
        firstAt.insert(mention.text, -1);
    }
    names.finish();

    // The longest name of each sort starting at every position.
    const qsizetype size = comment.size();
    QList<int> longestMentioned(size);
    QList<int> longestCovering(size);
    int node = 0;
    for (qsizetype i = size - 1; i >= 0; --i) {
        node = names.step(node, comment[i]);
        longestMentioned[i] = names.longest(node, NameAutomaton::Mentioned);
        longestCovering[i] = names.longest(node, NameAutomaton::Covering);
    }
    // From the start on: a name counts where it is the longest name starting there, and neither
    // the student's own name nor a name starting earlier reaches over its end.
    qsizetype coverEnd = 0;   // the furthest end of an own name started so far
    qsizetype mentionEnd = 0; // the furthest end of a mentioned name started before i
    for (qsizetype i = 0; i < size; ++i) {
        coverEnd = std::max(coverEnd, i + longestCovering[i]);
        const int length = longestMentioned[i];
        if (length == 0)
            continue;
        const qsizetype end = i + length;
        if (coverEnd < end && mentionEnd < end) {
            const auto at = firstAt.find(comment.mid(i, length));
            if (at != firstAt.end() && *at < 0)
                *at = i;
        }
        mentionEnd = std::max(mentionEnd, end);
    }

    QSet<int> told;
    const qsizetype first = findings.size();
    for (const Mention &mention : mentions) {
        const qsizetype at = firstAt.value(mention.text, -1);
        if (told.contains(mention.student) || at < 0)
            continue;
        const QString detail = mention.text == mention.fullName
                                   ? mention.fullName
                                   : QStringLiteral("%1（%2）").arg(mention.text, mention.fullName);
        findings.append({student, Kind::MentionsOther, detail, int(at), int(mention.text.size())});
        told.insert(mention.student);
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
    case Kind::Unverifiable:
        return QStringLiteral("待核实");
    case Kind::PastPrintArea:
        break;
    }
    return QStringLiteral("超出打印区域");
}

QStringList unverifiableSentences(const QStringList &lines)
{
    QStringList sentences;
    for (const QString &line : lines) {
        const StockComment comment = StockComment::parse(line);
        if (!comment.unverifiable)
            continue;
        QString text = comment.text;
        // A name filled in makes the words before it differ from student to student.
        for (const QString &placeholder : {Drafts::FullNamePlaceholder, Drafts::GivenNamePlaceholder}) {
            if (const qsizetype at = text.lastIndexOf(placeholder); at >= 0)
                text = text.sliced(at + placeholder.size());
        }
        if (!text.trimmed().isEmpty() && !sentences.contains(text))
            sentences.append(text);
    }
    return sentences;
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

        for (const QString &sentence : options.unverifiable) {
            if (const qsizetype at = sentence.isEmpty() ? -1 : comment.indexOf(sentence); at >= 0)
                findings.append({student, Kind::Unverifiable, sentence, int(at), int(sentence.size())});
        }

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
    constexpr Kind Order[] = {Kind::EmptyComment, Kind::MentionsOther, Kind::Unverifiable, Kind::PastPrintArea,
                              Kind::Repeated};
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

QString summary(const QList<Group> &groups)
{
    qsizetype entries = 0;
    QSet<int> students;
    for (const Group &group : groups) {
        entries += group.entries.size();
        for (const Entry &entry : group.entries) {
            for (const Finding &finding : entry.findings)
                students.insert(finding.student);
        }
    }
    if (entries == 0)
        return QStringLiteral("没有发现问题。");
    return QStringLiteral("共发现 %1 个问题，涉及 %2 名学生。").arg(entries).arg(students.size());
}

} // namespace ClassCheck
