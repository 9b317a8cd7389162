#pragma once

#include "printing/printtarget.h"

#include <QPainter>

#include <memory>

class QPrinter;
class QPrinterInfo;

/// A system printer through QPrinter (CUPS on Linux): every document becomes a print job of its
/// own, titled as asked, on paper of exactly the page size set, drawn from the paper's top-left
/// corner without margins.
class QtPrintTarget : public PrintTarget
{
public:
    explicit QtPrintTarget(const QPrinterInfo &printer);
    ~QtPrintTarget() override;

    /// False when Qt could not open the printer.
    bool isValid() const;
    QString printerName() const;

    bool setPageSize(qint64 widthTwips, qint64 heightTwips) override;
    qint64 pageWidth() const override;
    qint64 pageHeight() const override;
    void applySetting(int value) override;
    bool beginDocument(const QString &title) override;
    void printPage(const ComposedPage &page) override;
    bool endDocument() override;
    void abandon() override;
    QString error() const override;

private:
    void setJobOptions(bool refuseJob);

    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    QString m_title;
    QString m_error;
};
