#pragma once

#include <QLineF>
#include <QList>
#include <QRectF>
#include <QString>

struct ComposedPage;

/// A printer as the print run uses it: documents of one or more pages. Reached through the
/// platform seam (Platform::printer), so that tests can record what would have been printed.
class PrintTarget
{
public:
    virtual ~PrintTarget() = default;

    /// Sets the page size (twips) of the documents that follow; false when the printer
    /// cannot take it.
    virtual bool setPageSize(qint64 widthTwips, qint64 heightTwips) = 0;
    /// The page size the printer will use, read back (twips).
    virtual qint64 pageWidth() const = 0;
    virtual qint64 pageHeight() const = 0;
    /// The one printer setting start-up chose (the colour mode; 2 = colour).
    virtual void applySetting(int value) = 0;
    /// How many copies the printer makes of each document that follows (1 unless told).
    virtual void setCopies(int copies) = 0;
    /// Starts a document titled `title` with one page; false (with error()) when it cannot.
    virtual bool beginDocument(const QString &title) = 0;
    /// Starts another page of the document in progress; false (with error()) when it cannot.
    virtual bool newPage() = 0;
    /// Paints a composed page (twips, from the top-left of the drawing area) on the current page.
    virtual void printPage(const ComposedPage &page) = 0;
    /// With several students a sheet: paints a composed page scaled by `scale` into `place`
    /// (twips on the sheet); `firstOnSheet` for the sheet's first student.
    virtual void printPageAt(const ComposedPage &page, const QRectF &place, double scale, bool firstOnSheet) = 0;
    /// Thin grey lines to cut the current sheet along (twips).
    virtual void printCutLines(const QList<QLineF> &lines) = 0;
    /// Ends the document and hands it to the print queue; false (with error()) when it failed.
    virtual bool endDocument() = 0;
    /// Abandons the document in progress, if any.
    virtual void abandon() = 0;
    /// Why the last operation failed.
    virtual QString error() const = 0;
};
