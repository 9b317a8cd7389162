#include "ui/app/accessibility.h"

#include "ui/printing/ps_paper.h"

#include <QAccessibleWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRubberBand>

namespace {

/// The editing area with everything its viewport holds: the editing windows, as Qt shows them,
/// and the print window's panel and page, which Qt's own interface leaves out.
class EditingAreaInterface : public QAccessibleWidget
{
public:
    explicit EditingAreaInterface(QMdiArea *area)
        : QAccessibleWidget(area, QAccessible::LayeredPane)
    {}

    int childCount() const override { return int(children().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> shown = children();
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown[index])
                                                  : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() ? int(children().indexOf(qobject_cast<QWidget *>(child->object())))
                                        : -1;
    }

private:
    QList<QWidget *> children() const
    {
        QList<QWidget *> shown;
        const auto *area = static_cast<QMdiArea *>(widget());
        for (QObject *object : area->viewport()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (!child || child->isWindow() || qobject_cast<QRubberBand *>(child))
                continue;
            // The editing windows even while hidden (as Qt does), anything else while it shows.
            if (qobject_cast<QMdiSubWindow *>(child) || child->isVisible())
                shown << child;
        }
        return shown;
    }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("QMdiArea"))
        return new EditingAreaInterface(static_cast<QMdiArea *>(object));
    // The sample page is a picture of the page: its description names the student shown.
    if (className == QLatin1String("ps_paper"))
        return new QAccessibleWidget(static_cast<ps_paper *>(object), QAccessible::Graphic);
    return nullptr;
}

} // namespace

void Accessibility::install()
{
    QAccessible::installFactory(factory);
}
