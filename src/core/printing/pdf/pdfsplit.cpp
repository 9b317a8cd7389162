#include "core/printing/pdf/pdfsplit.h"

#include "core/printing/pdf/pdfpagefonts.h"

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
        // Each file is the class file written with a page tree of one page under a catalog that
        // holds nothing else, so nothing of another page (an outline, a destination) can be
        // reached from it; the writer writes only what can be reached. The fonts the pages share
        // are cut to each page in turn before its file is written. Written in place like this, no
        // object is copied into a document of its own for each student.
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(source).getAllPages();
        QPDFObjectHandle tree = source.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Pages /Count 1 >>"));
        QPDFObjectHandle catalog = source.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Catalog >>"));
        catalog.replaceKey("/Pages", tree);
        QPDFObjectHandle trailer = source.getTrailer();
        trailer.replaceKey("/Root", catalog);
        QList<QByteArray> files;
        PdfPageFonts fonts;
        for (QPDFPageObjectHelper &page : pages) {
            QPDFObjectHandle object = page.getObjectHandle();
            // What the page took from the tree it stood in (its resources, its paper) is its own now.
            for (const char *inherited : {"/Resources", "/MediaBox", "/CropBox", "/Rotate"}) {
                QPDFObjectHandle value = page.getAttribute(inherited, false);
                if (!value.isNull())
                    object.replaceKey(inherited, value);
            }
            object.replaceKey("/Parent", tree);
            tree.replaceKey("/Kids", QPDFObjectHandle::newArray({object}));
            // The fonts hold every glyph of the class: each file keeps its own page's.
            fonts.cut(page);
            QPDFWriter writer(source);
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
