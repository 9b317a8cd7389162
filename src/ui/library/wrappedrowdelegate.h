#pragma once

#include <QStyledItemDelegate>

class QTreeView;

/// Draws a tree view's items as usual, but gives each the height of its text wrapped at its
/// column's present width (a tree view asks its delegate for a size without saying the width).
class WrappedRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit WrappedRowDelegate(QTreeView *view);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    QTreeView *m_view;
};
