#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class CommentDocument;
class TextMeasurer;
struct LayoutScheme;

/// The class check: what to look at again before printing, student by student.
namespace ClassCheck {

enum class Kind {
    EmptyComment,  ///< 空评语
    MentionsOther, ///< 提到其他学生
    Repeated,      ///< 重复
    PastPrintArea, ///< 超出打印区域
    Unverifiable,  ///< 待核实: a stock sentence marked 〔待核实〕 stands in the comment as the library has it
};

/// The kind as the teacher reads it: "空评语", "提到其他学生", "重复", "超出打印区域", "待核实".
QString kindName(Kind kind);

/// One thing to look at.
struct Finding
{
    int student = 0; ///< 0-based, as CurrentStudent
    Kind kind = Kind::EmptyComment;
    QString detail; ///< what the kind does not say: the name mentioned, the repeated sentence, the lines over
    int position = -1; ///< where in the comment (UTF-16), -1 for the whole comment
    int length = 0;

    friend bool operator==(const Finding &, const Finding &) = default;
};

struct Options
{
    /// A sentence in more comments than this is reported in each of them.
    int repeatLimit = 3;
    /// Sentences shorter than this many characters (clusters) are never reported.
    int shortestSentence = 12;
    /// With a scheme, comments running past their printed box are reported too.
    const LayoutScheme *scheme = nullptr;
    const TextMeasurer *measurer = nullptr;
    /// The library's 〔待核实〕 sentences without their marks: a comment holding one word for
    /// word is reported until the teacher edits it.
    QStringList unverifiable;
};

/// The sentences of a library (its lines, marks and all) marked 〔待核实〕, without their marks;
/// of a sentence holding a name placeholder, what follows the last placeholder.
QStringList unverifiableSentences(const QStringList &lines);

/// The findings for the roster (up to the first empty name), in roster order, each student's
/// in the order of the kinds above, then by position.
QList<Finding> check(const CommentDocument &document, const Options &options);

/// One row of the grouped findings: one student's finding, or for 重复 one sentence with the
/// finding of every student whose comment holds it.
struct Entry
{
    QString detail;
    QList<Finding> findings; ///< in roster order

    friend bool operator==(const Entry &, const Entry &) = default;
};

/// The findings of one kind.
struct Group
{
    Kind kind = Kind::EmptyComment;
    QList<Entry> entries;
};

/// The findings grouped by kind, the kinds found in the order 空评语, 提到其他学生, 待核实,
/// 超出打印区域, 重复 (the one that can run to many rows comes last), each kind's entries in the order found.
QList<Group> grouped(const QList<Finding> &findings);

/// The line under the list: how many rows it shows under its kinds (a repeated sentence is one,
/// however many comments hold it) and how many students they concern; "没有发现问题。" for none.
QString summary(const QList<Group> &groups);

} // namespace ClassCheck
