#include "ui/printing/sheetchoice.h"

#include "ui/platform/accessiblenames.h"
#include "ui/printing/panelparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

namespace {

using Twips::Box;
constexpr Box PerSheetLabelBox{0, 30, 1125, 270};
constexpr Box PerSheetBox{1140, 0, 1500, 330};
constexpr Box CutLinesBox{2820, 0, 1500, 330};
constexpr int PerSheet[3] = {1, 2, 4};

} // namespace

SheetChoice::SheetChoice(QWidget *parent)
    : QWidget(parent)
{
    using namespace PanelParts;
    QLabel *caption = label(QStringLiteral("每张纸："), this, PerSheetLabelBox);
    m_perSheet = new QComboBox(this);
    m_perSheet->setObjectName(QStringLiteral("perSheet"));
    for (const int count : PerSheet)
        m_perSheet->addItem(QStringLiteral("%1 名学生").arg(count), count);
    AccessibleNames::label(caption, m_perSheet);
    place(m_perSheet, PerSheetBox);
    m_cutLines = new QCheckBox(QStringLiteral("裁切线"), this);
    m_cutLines->setObjectName(QStringLiteral("cutLines"));
    m_cutLines->setChecked(true);
    m_cutLines->setEnabled(false);
    place(m_cutLines, CutLinesBox);
    connect(m_perSheet, &QComboBox::currentIndexChanged, this, [this] {
        // Cut lines only mean something between students.
        m_cutLines->setEnabled(perSheet() > 1);
        emit changed();
    });
    connect(m_cutLines, &QCheckBox::toggled, this, &SheetChoice::changed);
}

int SheetChoice::perSheet() const
{
    return m_perSheet->currentData().toInt();
}

bool SheetChoice::cutLines() const
{
    return m_cutLines->isChecked();
}

void SheetChoice::follow(const SheetChoice &other)
{
    const QSignalBlocker blockCount(m_perSheet);
    const QSignalBlocker blockLines(m_cutLines);
    m_perSheet->setCurrentIndex(other.m_perSheet->currentIndex());
    m_cutLines->setChecked(other.cutLines());
    m_cutLines->setEnabled(perSheet() > 1);
}
