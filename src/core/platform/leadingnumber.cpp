#include "core/platform/leadingnumber.h"

#include <QLocale>
#include <QString>

double leadingNumber(QStringView text)
{
    QString number;
    bool signSeen = false;
    bool digitOrPointSeen = false;
    bool pointSeen = false;
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        if ((c == u'+' || c == u'-') && !signSeen && !digitOrPointSeen) {
            signSeen = true;
            if (c == u'-')
                number += c;
            continue;
        }
        if (c == u'.' && !pointSeen) {
            pointSeen = digitOrPointSeen = true;
            number += c;
            continue;
        }
        if (c >= u'0' && c <= u'9') {
            digitOrPointSeen = true;
            number += c;
            continue;
        }
        break;
    }
    if (number.isEmpty() || number == u"-" || number == u"." || number == u"-.")
        return 0;
    if (number.endsWith(u'.'))
        number.chop(1);
    if (number.startsWith(u'.'))
        number.prepend(u'0');
    else if (number.startsWith(u"-."))
        number.insert(1, u'0');
    bool ok = false;
    const double value = QLocale::c().toDouble(number, &ok);
    return ok && qIsFinite(value) ? value : 0;
}
