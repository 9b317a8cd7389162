#include "core/document/personname.h"

#include "core/document/writingprogress.h"

#include <QStringList>

namespace PersonName {

namespace {

const QStringList TwoCharacterSurnames = {
    QStringLiteral("欧阳"), QStringLiteral("司马"), QStringLiteral("诸葛"), QStringLiteral("上官"),
    QStringLiteral("东方"), QStringLiteral("皇甫"), QStringLiteral("尉迟"), QStringLiteral("公孙"),
    QStringLiteral("慕容"), QStringLiteral("长孙"), QStringLiteral("宇文"), QStringLiteral("司徒"),
    QStringLiteral("令狐"), QStringLiteral("夏侯"), QStringLiteral("轩辕"), QStringLiteral("端木"),
    QStringLiteral("南宫"), QStringLiteral("西门"), QStringLiteral("独孤"), QStringLiteral("呼延"),
};

} // namespace

QString withoutSurname(const QString &name)
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

QString givenName(const QString &name)
{
    QString given = withoutSurname(name);
    return WritingProgress::characterCount(given) >= 2 ? given : name;
}

} // namespace PersonName
