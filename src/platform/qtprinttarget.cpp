#include "platform/qtprinttarget.h"

#include "printing/composition.h"
#include "printing/pagepainter.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

// Qt's CUPS print engine adds the name/value pairs of this engine property to the options of
// the job it submits (its own print dialog passes the queue's extra options this way).
const auto CupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

QString points(double value)
{
    return QString::number(value, 'g', 12);
}

} // namespace

QtPrintTarget::QtPrintTarget(const QPrinterInfo &printer)
    : m_printer(std::make_unique<QPrinter>(printer, QPrinter::HighResolution))
{
    m_printer->setFullPage(true);   // the drawing area is the whole paper
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
    const QString size = QStringLiteral("%1 × %2 厘米").arg(widthTwips / 570.0, 0, 'g', 4).arg(heightTwips / 570.0, 0, 'g', 4);
    if (widthTwips <= 0 || heightTwips <= 0) {
        m_error = QStringLiteral("纸张大小无效：%1。").arg(size);
        return false;
    }
    // A point is 20 twips. The size exactly, never a standard size close to it.
    const QPageSize pageSize(QSizeF(widthTwips / 20.0, heightTwips / 20.0), QPageSize::Point, QString(),
                             QPageSize::ExactMatch);
    if (!m_printer->setPageLayout(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF()))) {
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

bool QtPrintTarget::beginDocument(const QString &title)
{
    abandon();
    m_title = title;
    m_printer->setDocName(title);
    setJobOptions(false);
    if (!m_painter.begin(m_printer.get())) {
        m_error = QStringLiteral("无法开始打印：打印机“%1”没有接受“%2”。").arg(printerName(), title);
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
    paintComposedPage(m_painter, page);
    m_painter.restore();
}

bool QtPrintTarget::endDocument()
{
    if (!m_painter.isActive()) {
        m_error = QStringLiteral("没有正在打印的文档。");
        return false;
    }
    // Ending the painter hands the spooled document to the print queue.
    if (!m_painter.end() || m_printer->printerState() == QPrinter::Error) {
        m_error = QStringLiteral("打印机“%1”没有接受“%2”。").arg(printerName(), m_title);
        return false;
    }
    return true;
}

void QtPrintTarget::abandon()
{
    if (!m_painter.isActive())
        return;
    if (!m_printer->abort()) {
        // The CUPS engine cannot abort: it submits the spooled document when the painter ends.
        // A job asking for no copies at all is refused by the scheduler, so nothing is queued.
        setJobOptions(true);
    }
    m_painter.end();
    setJobOptions(false);
}

QString QtPrintTarget::error() const
{
    return m_error;
}

void QtPrintTarget::setJobOptions(bool refuseJob)
{
    QPrintEngine *engine = m_printer->printEngine();
    if (!engine)
        return;
    QStringList options;
    const QStringList current = engine->property(CupsOptionsKey).toStringList();
    for (qsizetype i = 0; i + 1 < current.size(); i += 2) {
        if (current[i] != u"PageSize" && current[i] != u"copies")
            options << current[i] << current[i + 1];
    }
    // Qt names a custom size only as "media", which PPD-driven queues ignore (they fall back to
    // their default paper): PageSize is the option they read.
    const QPageLayout layout = m_printer->pageLayout();
    if (layout.pageSize().id() == QPageSize::Custom) {
        const QSizeF size = layout.fullRect(QPageLayout::Point).size();
        options << QStringLiteral("PageSize")
                << QStringLiteral("Custom.%1x%2").arg(points(size.width()), points(size.height()));
    }
    if (refuseJob)
        options << QStringLiteral("copies") << QStringLiteral("0");
    engine->setProperty(CupsOptionsKey, options);
}
