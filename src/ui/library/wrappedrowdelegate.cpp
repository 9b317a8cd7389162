#include "ui/library/wrappedrowdelegate.h"

#include <QHeaderView>
#include <QTreeView>

#include <climits>

WrappedRowDelegate::WrappedRowDelegate(QTreeView *view)
    : QStyledItemDelegate(view)
    , m_view(view)
{}

QSize WrappedRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem wrapped = option;
    wrapped.rect = QRect(0, 0, m_view->header()->sectionSize(index.column()), INT_MAX / 2);
    wrapped.features |= QStyleOptionViewItem::WrapText;
    return QStyledItemDelegate::sizeHint(wrapped, index);
}
