#pragma once

#include <QString>
#include <QStringList>

#include <optional>

/// The school stage a class is in; stage-bound stock comments are drawn only for theirs.
enum class Stage { LowerPrimary, UpperPrimary, Junior, Senior, Primary /* 小学: either primary stage */ };
/// The term now ending.
enum class Term { First, Second };

/// What a class teacher sets once for the class's drafts, kept in the ratings file beside the
/// class: the stage, the term, the length window and the columns that always get a sentence.
struct ClassSettings
{
    /// Unset: only sentences bound to no stage (or term) are drawn.
    std::optional<Stage> stage;
    std::optional<Term> term;
    int minLength = 0; ///< 0: the stage's default window
    int maxLength = 0;
    QStringList required; ///< 必写 columns, in the table's order

    friend bool operator==(const ClassSettings &, const ClassSettings &) = default;

    /// Whether nothing differs from a class that set nothing (then nothing is written).
    bool isDefault() const { return *this == ClassSettings(); }

    /// The length window in use: the class's own, else 120–220 for 初中 and 高中, 100–180 otherwise.
    int minimum() const;
    int maximum() const;

    /// "小学低年级", "小学高年级", "初中", "高中", "小学".
    static QString stageName(Stage stage);
    /// "上学期", "下学期".
    static QString termName(Term term);
    /// A stage by its name; std::nullopt for any other text.
    static std::optional<Stage> parseStage(const QString &text);
    /// A term by 上学期/下学期 or 上/下.
    static std::optional<Term> parseTerm(const QString &text);
    /// "MIN-MAX" (also with －, ～, ~ or –) with 10 ≤ MIN ≤ MAX ≤ 1000; std::nullopt otherwise.
    static std::optional<std::pair<int, int>> parseLength(const QString &text);

    /// Whether a sentence bound to `stages` (empty: to none) may be drawn for this class.
    bool allowsStages(const QList<Stage> &stages) const;

    /// The settings as rows of the ratings file, written above its 姓名 row, where every
    /// reader of the file passes over a title; none when isDefault().
    QList<QStringList> rows() const;
    /// Reads settings from the rows above the 姓名 row; rows it does not know are passed over.
    static ClassSettings fromRows(const QList<QStringList> &rows);
};
