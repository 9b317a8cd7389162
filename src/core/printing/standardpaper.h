#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>

/// A paper size printers stock. A scheme's paper is set in 1/570 cm, so its A4 is 598.5 ×
/// 846.45 pt, which a printer may refuse or shrink to fit: within 1 % of a standard size the
/// printer is asked for that size instead, and a PDF file is written on it. Item positions keep
/// their units.
struct StandardPaper
{
    QString name;                                 ///< as the teacher knows it: "A4", "16K"
    QPageSize::PageSizeId id = QPageSize::Custom; ///< Qt's size, or Custom when Qt has none
    QSizeF millimetres;                           ///< portrait
    QByteArray media;                             ///< the IPP/PWG media name CUPS is given
    QByteArray ppdPageSize;                       ///< the PageSize of PPD-driven queues ("" none)
    bool landscape = false;                       ///< the scheme's paper is the size turned
};

/// The standard paper within 1 % of a page of widthTwips × heightTwips (20 per point), either
/// way round; nullopt when there is none.
std::optional<StandardPaper> standardPaperFor(qint64 widthTwips, qint64 heightTwips);

/// The page a page of widthTwips × heightTwips is printed or written on, without margins: the
/// standard paper within 1 % of it exactly (turned when the size is), so that an A4 scheme makes
/// an A4 file and asks the printer for A4; otherwise that size exactly. What is drawn keeps its
/// place from the top-left corner.
QPageLayout pageLayoutFor(qint64 widthTwips, qint64 heightTwips);

/// The standard paper of that name ("A4", "b5", "16K": case ignored); nullopt for none.
std::optional<StandardPaper> standardPaperNamed(const QString &name);

/// The names of the standard papers, as standardPaperNamed takes them.
QStringList standardPaperNames();
