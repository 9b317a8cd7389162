#pragma once

#include "core/printing/pdf/pdftextlayer.h"
#include "core/printing/printtarget.h"
#include "core/printing/standardpaper.h"

#include <QPainter>

#include <memory>
#include <optional>

class QPrinter;
class QPrinterInfo;
class QTemporaryFile;

/// A system printer through QPrinter and CUPS: every document becomes a print job of its own,
/// titled as asked, on paper of exactly the page size set, drawn from the paper's top-left
/// corner without margins. Qt draws each document as a PDF into a spool file of ours; its text
/// layer is set right (PdfTextLayer) before the file goes to the queue, so that a queue that
/// keeps PDF files gives back the characters printed.
class QtPrintTarget : public PrintTarget
{
public:
    explicit QtPrintTarget(const QPrinterInfo &printer);
    ~QtPrintTarget() override;

    /// False when Qt could not open the printer.
    bool isValid() const;
    QString printerName() const;
    /// The QPrinter behind it, for the print-properties dialog.
    QPrinter *qprinter() const { return m_printer.get(); }

    bool setPageSize(qint64 widthTwips, qint64 heightTwips) override;
    qint64 pageWidth() const override;
    qint64 pageHeight() const override;
    void applySetting(int value) override;
    void setCopies(int copies) override;
    bool beginDocument(const QString &title) override;
    bool newPage() override;
    void printPage(const ComposedPage &page) override;
    void printPageAt(const ComposedPage &page, const QRectF &place, double scale, bool firstOnSheet) override;
    void printCutLines(const QList<QLineF> &lines) override;
    bool endDocument() override;
    void abandon() override;
    QString error() const override;

private:
    /// Hands the spooled document to the queue; false (with m_error) when CUPS refused it.
    bool submit();

    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    std::unique_ptr<QTemporaryFile> m_spool; ///< the document in progress, as Qt writes it
    PdfTextLayer m_textLayer;                ///< what was drawn on it
    QString m_title;
    QString m_error;
    int m_copies = 1;
    std::optional<StandardPaper> m_standard; ///< the standard paper asked for, if any
};
