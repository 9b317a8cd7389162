#include "core/printing/pdfsplit.h"

#include "core/printing/pdfpagefonts.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>

Result<QList<QByteArray>> splitPdfPages(const QByteArray &pdf)
{
    try {
        QPDF source;
        source.processMemoryFile("pages", pdf.constData(), size_t(pdf.size()));
        QPDFObjectHandle info = source.getTrailer().getKey("/Info");
        QList<QByteArray> files;
        PdfPageFonts fonts;
        for (QPDFPageObjectHelper &page : QPDFPageDocumentHelper(source).getAllPages()) {
            QPDF one;
            one.emptyPDF();
            QPDFPageDocumentHelper(one).addPage(page, false);
            // The copied fonts hold every glyph of the class: each file keeps its own page's.
            QPDFPageObjectHelper own = QPDFPageDocumentHelper(one).getAllPages().front();
            fonts.cut(page, own);
            if (info.isDictionary())
                one.getTrailer().replaceKey("/Info", one.copyForeignObject(info));
            QPDFWriter writer(one);
            writer.setOutputMemory();
            writer.setDeterministicID(true);
            // The page's streams pass through as Qt compressed them; the cut fonts and maps come
            // as PdfPageFonts left them.
            writer.setDecodeLevel(qpdf_dl_none);
            writer.setCompressStreams(false);
            writer.write();
            const std::shared_ptr<Buffer> bytes = writer.getBufferSharedPointer();
            files.append(QByteArray(reinterpret_cast<const char *>(bytes->getBuffer()), qsizetype(bytes->getSize())));
        }
        return files;
    } catch (const std::exception &error) {
        return Failure{QStringLiteral("PDF文件无法拆分：%1").arg(QString::fromLocal8Bit(error.what()))};
    }
}
