#include "ui/platform/qtprinttarget.h"

#include "core/platform/fileerrorreason.h"
#include "core/platform/filesave.h"
#include "core/platform/twips.h"
#include "core/printing/composition.h"
#include "core/printing/pagepainter.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <cups/cups.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Qt's CUPS print engine keeps the queue's extra job options (the ones its print dialog
// offers) as name/value pairs in this engine property.
const auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

QString points(double value)
{
    return QString::number(value, 'g', 12);
}

} // namespace

QtPrintTarget::QtPrintTarget(const QPrinterInfo &printer)
    : m_printer(std::make_unique<QPrinter>(printer, QPrinter::HighResolution))
{
    m_printer->setFullPage(true); // the drawing area is the whole paper
}

QtPrintTarget::~QtPrintTarget()
{
    abandon();
}

bool QtPrintTarget::isValid() const
{
    return m_printer->isValid();
}

QString QtPrintTarget::printerName() const
{
    return m_printer->printerName();
}

bool QtPrintTarget::setPageSize(qint64 widthTwips, qint64 heightTwips)
{
    const QString size = QStringLiteral("%1 × %2 厘米")
                             .arg(widthTwips / double(UnitsPerCm), 0, 'g', 4)
                             .arg(heightTwips / double(UnitsPerCm), 0, 'g', 4);
    if (widthTwips <= 0 || heightTwips <= 0) {
        m_error = QStringLiteral("纸张大小无效：%1。").arg(size);
        return false;
    }
    // Near a standard size, the printer is asked for that paper: a custom size of nearly A4 may
    // be refused or shrunk. Otherwise the size exactly (a point is 20 twips).
    m_standard = standardPaperFor(widthTwips, heightTwips);
    if (!m_printer->setPageLayout(pageLayoutFor(widthTwips, heightTwips))) {
        m_error = QStringLiteral("打印机“%1”不能使用 %2 的纸张。").arg(printerName(), size);
        return false;
    }
    m_printer->setFullPage(true);
    return true;
}

qint64 QtPrintTarget::pageWidth() const
{
    return qRound64(m_printer->pageLayout().fullRect(QPageLayout::Point).width() * 20);
}

qint64 QtPrintTarget::pageHeight() const
{
    return qRound64(m_printer->pageLayout().fullRect(QPageLayout::Point).height() * 20);
}

void QtPrintTarget::applySetting(int value)
{
    if (!m_painter.isActive())
        m_printer->setColorMode(value == 2 ? QPrinter::Color : QPrinter::GrayScale);
}

void QtPrintTarget::setCopies(int copies)
{
    m_copies = std::max(copies, 1);
}

bool QtPrintTarget::beginDocument(const QString &title)
{
    abandon();
    m_title = title;
    m_textLayer = PdfTextLayer();
    // Qt draws into a spool file of ours instead of straight to the queue. The name must not end
    // in ".pdf", which would turn the printer into a plain PDF writer.
    m_spool = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/qhsy-print-XXXXXX.job"));
    if (!m_spool->open()) {
        m_error = QStringLiteral("无法开始打印“%1”：%2").arg(title, FileErrorReason::of(*m_spool));
        m_spool.reset();
        return false;
    }
    m_spool->close();
    m_printer->setOutputFileName(m_spool->fileName());
    m_printer->setDocName(title);
    if (!m_painter.begin(m_printer.get())) {
        m_error = QStringLiteral("无法开始打印：打印机“%1”没有接受“%2”。").arg(printerName(), title);
        m_spool.reset();
        return false;
    }
    return true;
}

bool QtPrintTarget::newPage()
{
    if (!m_painter.isActive() || !m_printer->newPage()) {
        m_error = QStringLiteral("打印机“%1”不能在“%2”中另起一页。").arg(printerName(), m_title);
        return false;
    }
    return true;
}

void QtPrintTarget::printPage(const ComposedPage &page)
{
    if (!m_painter.isActive())
        return;
    // The page is composed in twips.
    const double scale = m_printer->resolution() / 1440.0;
    m_painter.save();
    m_painter.scale(scale, scale);
    paintLines(m_painter, drawnLines(page, m_printer.get()), &m_textLayer);
    m_painter.restore();
}

void QtPrintTarget::printPageAt(const ComposedPage &page, const QRectF &place, double scale, bool firstOnSheet)
{
    if (!m_painter.isActive())
        return;
    const double device = m_printer->resolution() / 1440.0;
    m_painter.save();
    m_painter.scale(device, device);
    m_painter.translate(place.topLeft());
    m_painter.scale(scale, scale);
    // The sheet's students share one page of the text layer, in drawing order.
    paintLines(m_painter, drawnLines(page, m_printer.get()), &m_textLayer, !firstOnSheet);
    m_painter.restore();
}

void QtPrintTarget::printCutLines(const QList<QLineF> &lines)
{
    if (!m_painter.isActive())
        return;
    const double device = m_printer->resolution() / 1440.0;
    m_painter.save();
    m_painter.scale(device, device);
    m_painter.setPen(QPen(QColor(170, 170, 170), 12));
    for (const QLineF &line : lines)
        m_painter.drawLine(line);
    m_painter.restore();
}

bool QtPrintTarget::endDocument()
{
    if (!m_painter.isActive()) {
        m_error = QStringLiteral("没有正在打印的文档。");
        return false;
    }
    // Ending the painter completes the spool file.
    if (!m_painter.end() || m_printer->printerState() == QPrinter::Error) {
        m_error = QStringLiteral("打印机“%1”没有接受“%2”。").arg(printerName(), m_title);
        m_spool.reset();
        return false;
    }
    const bool submitted = submit();
    m_spool.reset();
    return submitted;
}

void QtPrintTarget::abandon()
{
    if (!m_painter.isActive())
        return;
    // The spool file is completed and thrown away: nothing reaches the queue.
    m_painter.end();
    m_spool.reset();
}

QString QtPrintTarget::error() const
{
    return m_error;
}

bool QtPrintTarget::submit()
{
    const QString path = m_spool->fileName();
    QFile spooled(path);
    if (spooled.open(QIODevice::ReadOnly)) {
        // A text layer that cannot be set right leaves the document as Qt drew it: the paper is
        // the same either way.
        const Result<PdfTextLayer::Rewritten> rewritten = m_textLayer.rewrite(spooled.readAll());
        spooled.close();
        // Should the rewritten file not replace the spool file, the job prints as Qt drew it.
        if (rewritten)
            (void)FileSave::save(path, rewritten->pdf);
    }

    // The options Qt's CUPS engine gives a job, and the page size for PPD-driven queues.
    std::vector<std::pair<QByteArray, QByteArray>> options;
    if (m_copies > 1) {
        // The printer makes the copies, each a whole set in page order.
        options.emplace_back("copies", QByteArray::number(m_copies));
        options.emplace_back("collate", "true");
        options.emplace_back("multiple-document-handling", "separate-documents-collated-copies");
    }
    const QPageLayout layout = m_printer->pageLayout();
    if (m_standard) {
        // The paper by the names the queue knows, for IPP and for PPD-driven queues.
        options.emplace_back("media", m_standard->media);
        if (!m_standard->ppdPageSize.isEmpty())
            options.emplace_back("PageSize", m_standard->ppdPageSize);
        if (m_standard->landscape)
            options.emplace_back("orientation-requested", "4");
    } else {
        options.emplace_back("media", layout.pageSize().key().toLocal8Bit());
    }
    switch (m_printer->duplex()) {
    case QPrinter::DuplexNone:
        options.emplace_back("sides", "one-sided");
        break;
    case QPrinter::DuplexAuto:
    case QPrinter::DuplexLongSide:
        options.emplace_back("sides", "two-sided-long-edge");
        break;
    case QPrinter::DuplexShortSide:
        options.emplace_back("sides", "two-sided-short-edge");
        break;
    }
    if (QPrintEngine *engine = m_printer->printEngine()) {
        const QStringList extra = engine->property(CupsOptionsKey).toStringList();
        for (qsizetype i = 0; i + 1 < extra.size(); i += 2) {
            if (extra[i] != u"PageSize" && extra[i] != u"media")
                options.emplace_back(extra[i].toLocal8Bit(), extra[i + 1].toLocal8Bit());
        }
    }
    // Qt names a custom size only as "media", which PPD-driven queues ignore (they fall back to
    // their default paper): PageSize is the option they read.
    if (!m_standard && layout.pageSize().id() == QPageSize::Custom) {
        const QSizeF size = layout.fullRect(QPageLayout::Point).size();
        options.emplace_back(
            "PageSize",
            QStringLiteral("Custom.%1x%2").arg(points(size.width()), points(size.height())).toLatin1());
    }
    std::vector<cups_option_t> cupsOptions;
    for (auto &[name, value] : options)
        cupsOptions.push_back({name.data(), value.data()});

    // CUPS wants the queue's name without an instance.
    const QByteArray queue = printerName().section(u'/', 0, 0).toLocal8Bit();
    const int job = cupsPrintFile(queue.constData(), QFile::encodeName(path).constData(),
                                  m_title.toUtf8().constData(), int(cupsOptions.size()), cupsOptions.data());
    if (job == 0) {
        m_error = QStringLiteral("打印机“%1”没有接受“%2”：%3")
                      .arg(printerName(), m_title, QString::fromUtf8(cupsLastErrorString()));
        return false;
    }
    return true;
}
