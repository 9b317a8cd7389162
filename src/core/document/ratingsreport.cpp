#include "core/document/ratingsreport.h"

namespace RatingsReport {

namespace {

const QString ImportedMessage = QStringLiteral("已从“%1”读入 %2 项评价。");
const QString ImportedNothing = QStringLiteral("“%1”中没有本班学生的评价，评价表没有改动。");
const QString NamesWithout = QStringLiteral("文件中没有这些学生的评价，保持原样：");
const QString CategoriesWithout = QStringLiteral("文件中没有这些类别的评价，保持原样：");
const QString NotRead = QStringLiteral("有些内容没有读入：");
const QString UndoImportHint = QStringLiteral("如需还原，请点“撤消”。");
const QString NotRatings = QStringLiteral("以下内容不是评价（可用：优秀、良好、后进，或 A/B/C/D 等），未粘贴：\n");
const QString PastedUnknownNames = QStringLiteral("这些姓名不在本班，未粘贴：");
const QString PastedUnknownCategories = QStringLiteral("评语库中没有这些类别，未粘贴：");
const QString PastedOutside = QStringLiteral("另有 %1 项评价超出了表格或找不到对应的学生，未粘贴。");
/// Names listed in a message before the rest are only counted.
const int ListedNames = 20;

QString joined(const QStringList &items)
{
    return items.join(QStringLiteral("、"));
}

/// Students joined with 、; a long list ends with how many there are.
QString students(const QStringList &names)
{
    if (names.size() <= ListedNames)
        return joined(names);
    return joined(names.first(ListedNames)) + QStringLiteral("等 %1 名学生").arg(names.size());
}

} // namespace

Message imported(const QString &fileName, const RatingsFile::Merged &merged, const RatingsFile::Problems &problems,
                 const QStringList &hidden, bool changed)
{
    QStringList lines;
    if (merged.cellsSet == 0) {
        lines << ImportedNothing.arg(fileName);
    } else {
        lines << ImportedMessage.arg(fileName, QString::number(merged.cellsSet));
        if (!merged.namesWithout.isEmpty())
            lines << NamesWithout + students(merged.namesWithout);
        QStringList categories;
        for (const QString &category : merged.categoriesWithout) {
            if (!hidden.contains(category))
                categories << category;
        }
        if (!categories.isEmpty())
            lines << CategoriesWithout + joined(categories);
    }
    const QStringList notRead = RatingsFile::problemLines(problems);
    if (!notRead.isEmpty())
        lines << NotRead << notRead;
    if (changed)
        lines << UndoImportHint;
    return {lines.join(u'\n'), merged.cellsSet == 0 || !notRead.isEmpty()};
}

QString pasted(const RatingsPaste::Pasted &pasted)
{
    QStringList lines;
    if (!pasted.unknownValues.isEmpty())
        lines << NotRatings + joined(pasted.unknownValues);
    if (!pasted.unknownNames.isEmpty())
        lines << PastedUnknownNames + students(pasted.unknownNames);
    if (!pasted.unknownCategories.isEmpty())
        lines << PastedUnknownCategories + joined(pasted.unknownCategories);
    if (pasted.outside > 0)
        lines << PastedOutside.arg(pasted.outside);
    return lines.join(u'\n');
}

} // namespace RatingsReport
