#pragma once

#include "core/document/classsettings.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

/// A stock comment read apart from its marks. A line of the library may end with marks, each
/// written 〔…〕 right after the sentence: 〔专注〕〔初中〕. The marks say what drafting needs to
/// know about the sentence; they never reach a comment, a print or an export.
struct StockComment
{
    static inline const QChar MarkOpen = u'〔';
    static inline const QChar MarkClose = u'〕';
    /// The mark of a sentence drafting never draws (what the program cannot know, or an accusation).
    static inline const QString UnverifiableMark = QStringLiteral("待核实");
    static inline const QString SuggestionMark = QStringLiteral("建议");
    static inline const QString ConcernsPrefix = QStringLiteral("涉及：");
    static inline const QString ConnectivePrefix = QStringLiteral("衔接：");
    /// The category whose 好 section holds the connectives; it is no rating column.
    static inline const QString ConnectiveCategory = QStringLiteral("衔接语");

    QString text;           ///< the sentence without its marks
    QStringList marks;      ///< every mark word as written, in order
    QStringList topics;     ///< marks that name a topic (专注, 自信, …)
    QList<Stage> stages;    ///< the stages it may be drawn for; empty: every stage
    std::optional<Term> term; ///< the term it belongs to, if any
    bool suggestion = false;  ///< 〔建议〕: says what to work on
    bool unverifiable = false; ///< 〔待核实〕
    QString concerns;       ///< 〔涉及：类别〕: the other category it speaks of
    QString role;           ///< 〔衔接：…〕 without its prefix: 引入：类别, 并列, 建议, 结尾

    /// Splits a library line into sentence and marks. Only marks at the very end count: a 〔
    /// within the sentence is text.
    static StockComment parse(const QString &line);
    /// The line without its marks: what goes into a comment.
    static QString stripMarks(const QString &line);

    /// Whether drafting may draw it for a class with these settings (stage and term).
    bool fits(const ClassSettings &settings) const
    {
        return settings.allowsStages(stages) && (!term || term == settings.term);
    }
};
