#include "core/printing/charkind.h"

CharKind charKind(QChar c)
{
    switch (c.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return CharKind::Shaped;
    default:
        break;
    }
    const char16_t u = c.unicode();
    if ((u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF01 && u <= 0xFF60))
        return CharKind::FullWidth;
    if (u < 0x0250 || (u >= 0x2010 && u <= 0x205E) || (u >= 0xFF61 && u <= 0xFFEF))
        return CharKind::Spacing;
    return CharKind::Shaped;
}

bool isPlainChar(QChar c)
{
    const CharKind kind = charKind(c);
    return (kind == CharKind::FullWidth || kind == CharKind::Spacing) && c != QChar::LineSeparator &&
           c != QChar::ParagraphSeparator;
}

bool hasOwnScript(QChar c)
{
    return QChar::script(c.unicode()) > QChar::Script_Common;
}
