#include "core/platform/filefilter.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

QString toQtFileFilter(const QString &pipeFilter)
{
    const QStringList parts = pipeFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString &pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == u"*.*")
                pattern = QStringLiteral("*");
        }
        filters << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns.join(u' '));
    }
    return filters.join(QStringLiteral(";;"));
}

QString withSuffixOf(const QString &path, const QString &chosenType)
{
    static const QRegularExpression firstPattern(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch match = firstPattern.match(chosenType);
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty() || !match.hasMatch())
        return path;
    return path + u'.' + match.captured(1);
}
