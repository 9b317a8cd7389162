#include "ui/printing/panelparts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace PanelParts {

int px(const QWidget *widget, double twips)
{
    return Twips::toPixels(twips, widget->logicalDpiY());
}

void place(QWidget *widget, const Twips::Box &box)
{
    widget->setGeometry(px(widget, box.left), px(widget, box.top), px(widget, box.width),
                        px(widget, box.height));
}

QLabel *label(const QString &text, QWidget *parent, const Twips::Box &box)
{
    auto *result = new QLabel(text, parent);
    place(result, box);
    return result;
}

QPushButton *command(int number, const QString &text, QWidget *parent, const Twips::Box &box)
{
    auto *result = new QPushButton(text, parent);
    result->setObjectName(QStringLiteral("Command%1").arg(number));
    place(result, box);
    return result;
}

QLineEdit *textBox(const QString &name, QWidget *parent)
{
    auto *result = new QLineEdit(parent);
    result->setObjectName(name);
    return result;
}

QComboBox *combo(const QString &name, QWidget *parent)
{
    auto *result = new QComboBox(parent);
    result->setObjectName(name);
    result->setEditable(true);
    result->setInsertPolicy(QComboBox::NoInsert);
    // Typed text is taken letter by letter as it stands; completion would change it.
    result->setCompleter(nullptr);
    return result;
}

} // namespace PanelParts
