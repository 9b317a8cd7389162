#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;

/// 每张纸 1 / 2 / 4 名学生 and 裁切线: how many students go on a sheet of paper, and whether thin
/// lines show where to cut. The print and preview panels each show one; the window keeps them
/// alike.
class SheetChoice : public QWidget
{
    Q_OBJECT

public:
    explicit SheetChoice(QWidget *parent = nullptr);

    int perSheet() const;
    bool cutLines() const;
    /// Takes another choice's values without telling.
    void follow(const SheetChoice &other);

    QComboBox *perSheetBox() const { return m_perSheet; }
    QCheckBox *cutLinesBox() const { return m_cutLines; }

signals:
    void changed();

private:
    QComboBox *m_perSheet = nullptr;
    QCheckBox *m_cutLines = nullptr;
};
