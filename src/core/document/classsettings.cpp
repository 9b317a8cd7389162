#include "core/document/classsettings.h"

#include <QRegularExpression>

namespace {

const QString StageKey = QStringLiteral("学段");
const QString TermKey = QStringLiteral("学期");
const QString LengthKey = QStringLiteral("字数");
const QString RequiredKey = QStringLiteral("必写");
/// The longest a draft may be asked to be: far beyond any printed comment box.
constexpr int LongestWindow = 1000;
constexpr int ShortestWindow = 10;

bool senior(const std::optional<Stage> &stage)
{
    return stage == Stage::Junior || stage == Stage::Senior;
}

} // namespace

int ClassSettings::minimum() const
{
    if (minLength > 0)
        return minLength;
    return senior(stage) ? 120 : 100;
}

int ClassSettings::maximum() const
{
    if (maxLength > 0)
        return maxLength;
    return senior(stage) ? 220 : 180;
}

QString ClassSettings::stageName(Stage stage)
{
    switch (stage) {
    case Stage::LowerPrimary:
        return QStringLiteral("小学低年级");
    case Stage::UpperPrimary:
        return QStringLiteral("小学高年级");
    case Stage::Junior:
        return QStringLiteral("初中");
    case Stage::Senior:
        return QStringLiteral("高中");
    case Stage::Primary:
        break;
    }
    return QStringLiteral("小学");
}

QString ClassSettings::termName(Term term)
{
    return term == Term::First ? QStringLiteral("上学期") : QStringLiteral("下学期");
}

std::optional<Stage> ClassSettings::parseStage(const QString &text)
{
    for (Stage stage : {Stage::LowerPrimary, Stage::UpperPrimary, Stage::Junior, Stage::Senior, Stage::Primary}) {
        if (text.trimmed() == stageName(stage))
            return stage;
    }
    return std::nullopt;
}

std::optional<Term> ClassSettings::parseTerm(const QString &text)
{
    const QString value = text.trimmed();
    if (value == QStringLiteral("上") || value == termName(Term::First))
        return Term::First;
    if (value == QStringLiteral("下") || value == termName(Term::Second))
        return Term::Second;
    return std::nullopt;
}

std::optional<std::pair<int, int>> ClassSettings::parseLength(const QString &text)
{
    static const QRegularExpression Window(QStringLiteral("^\\s*(\\d{1,4})\\s*[-－~～–—]\\s*(\\d{1,4})\\s*$"));
    const QRegularExpressionMatch match = Window.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int low = match.captured(1).toInt();
    const int high = match.captured(2).toInt();
    if (low < ShortestWindow || low > high || high > LongestWindow)
        return std::nullopt;
    return std::pair{low, high};
}

bool ClassSettings::allowsStages(const QList<Stage> &stages) const
{
    if (stages.isEmpty())
        return true;
    if (!stage)
        return false;
    if (*stage == Stage::Primary)
        return stages.contains(Stage::LowerPrimary) || stages.contains(Stage::UpperPrimary);
    return stages.contains(*stage);
}

QList<QStringList> ClassSettings::rows() const
{
    QList<QStringList> result;
    if (stage)
        result.append({StageKey, stageName(*stage)});
    if (term)
        result.append({TermKey, termName(*term)});
    if (minLength > 0 && maxLength > 0)
        result.append({LengthKey, QStringLiteral("%1-%2").arg(minLength).arg(maxLength)});
    if (!required.isEmpty())
        result.append(QStringList{RequiredKey} + required);
    return result;
}

ClassSettings ClassSettings::fromRows(const QList<QStringList> &rows)
{
    ClassSettings settings;
    for (const QStringList &row : rows) {
        const QString key = row.value(0).trimmed();
        const QString value = row.value(1).trimmed();
        if (key == StageKey) {
            settings.stage = parseStage(value);
        } else if (key == TermKey) {
            settings.term = parseTerm(value);
        } else if (key == LengthKey) {
            if (const auto window = parseLength(value)) {
                settings.minLength = window->first;
                settings.maxLength = window->second;
            }
        } else if (key == RequiredKey) {
            for (const QString &cell : row.sliced(1)) {
                if (!cell.trimmed().isEmpty() && !settings.required.contains(cell.trimmed()))
                    settings.required.append(cell.trimmed());
            }
        }
    }
    return settings;
}
