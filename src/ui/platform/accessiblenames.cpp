#include "ui/platform/accessiblenames.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

QString AccessibleNames::withoutAccessKey(const QString &caption)
{
    static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)|&(?=.)"));
    QString text = caption;
    text.remove(accessKey);
    if (text.endsWith(QStringLiteral("...")))
        text.chop(3);
    return text;
}

void AccessibleNames::name(QWidget *control, const QString &caption)
{
    QString text = withoutAccessKey(caption);
    while (text.endsWith(u'：') || text.endsWith(u':'))
        text.chop(1);
    control->setAccessibleName(text);
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        if (combo->lineEdit())
            combo->lineEdit()->setAccessibleName(text);
        combo->view()->setAccessibleName(text);
    }
}

void AccessibleNames::label(QLabel *caption, QWidget *control)
{
    caption->setBuddy(control);
    name(control, caption->text());
}
