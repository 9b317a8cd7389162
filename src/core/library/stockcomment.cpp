#include "core/library/stockcomment.h"

StockComment StockComment::parse(const QString &line)
{
    StockComment comment;
    QString rest = line;
    // Marks are read from the end; each one is the text between the last 〔 and the 〕 ending it.
    while (rest.endsWith(MarkClose)) {
        const qsizetype open = rest.lastIndexOf(MarkOpen);
        if (open < 0)
            break;
        const QString word = rest.sliced(open + 1, rest.size() - open - 2);
        if (word.contains(MarkClose) || word.isEmpty())
            break;
        comment.marks.prepend(word);
        rest.truncate(open);
    }
    comment.text = rest;
    for (const QString &word : std::as_const(comment.marks)) {
        if (word == UnverifiableMark) {
            comment.unverifiable = true;
        } else if (word == SuggestionMark) {
            comment.suggestion = true;
        } else if (word == QStringLiteral("小学")) {
            comment.stages << Stage::LowerPrimary << Stage::UpperPrimary;
        } else if (const auto stage = ClassSettings::parseStage(word)) {
            comment.stages << *stage;
        } else if (word == ClassSettings::termName(Term::First) || word == ClassSettings::termName(Term::Second)) {
            comment.term = ClassSettings::parseTerm(word);
        } else if (word.startsWith(ConcernsPrefix)) {
            comment.concerns = word.sliced(ConcernsPrefix.size());
        } else if (word.startsWith(ConnectivePrefix)) {
            comment.role = word.sliced(ConnectivePrefix.size());
        } else {
            comment.topics << word;
        }
    }
    return comment;
}

QString StockComment::stripMarks(const QString &line)
{
    return parse(line).text;
}
