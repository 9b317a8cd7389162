#pragma once

#include <QObject>

class QMenu;

/// Shows over a menu the tips that say more than their entry's own text (a recent file's full
/// path), and only those: a command whose tip repeats its text (for the toolbar) shows none.
class MenuTips : public QObject
{
    Q_OBJECT

public:
    /// Watches `menu` for the rest of its life.
    static void install(QMenu *menu);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};
