#pragma once

#include <QIdentityProxyModel>

/// The list of Qt's own file dialog in the program's language. Qt's translations leave some of
/// it in English ("Folder"), and it gives sizes and dates in the desktop's language, which may
/// be English ("453 bytes", "8 Dec 2024"): this model, in front of the dialog's own, gives them
/// in the language of QLocale() (Chinese, see ApplicationSetup).
class FileListModel : public QIdentityProxyModel
{
    Q_OBJECT

public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};
