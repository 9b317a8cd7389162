#include "ui/platform/filelistmodel.h"

#include <QDateTime>
#include <QFileSystemModel>
#include <QLocale>

namespace {

// QFileSystemModel's columns.
enum Column { Name, Size, Type, Modified };

} // namespace

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
    if (role != Qt::DisplayRole || !files || !index.isValid())
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    const QLocale locale;
    switch (index.column()) {
    case Size:
        if (files->isDir(source))
            return QIdentityProxyModel::data(index, role);
        // "2.1 KB", as file managers count.
        return locale.formattedDataSize(files->size(source), 1, QLocale::DataSizeTraditionalFormat);
    case Type:
        if (files->isDir(source))
            return QStringLiteral("文件夹");
        return QIdentityProxyModel::data(index, role);
    case Modified:
        return locale.toString(files->lastModified(source), QLocale::ShortFormat);
    default:
        return QIdentityProxyModel::data(index, role);
    }
}
