#include "core/printing/pdf/pdfrevision.h"

#include <qpdf/Buffer.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <map>

namespace {

/// A pipeline's end that appends what it is given to a byte array.
struct AppendTo final : Pipeline
{
    explicit AppendTo(QByteArray &bytes)
        : Pipeline("bytes", nullptr)
        , bytes(bytes)
    {}
    void write(unsigned char const *data, size_t size) override
    {
        bytes.append(reinterpret_cast<const char *>(data), qsizetype(size));
    }
    void finish() override {}
    QByteArray &bytes;
};

QByteArray unparsed(QPDFObjectHandle object)
{
    return QByteArray::fromStdString(object.unparseResolved());
}

} // namespace

QByteArray appendRevision(const QByteArray &pdf, QPDF &document, const std::vector<QPDFObjectHandle> &changed)
{
    // Where the file's last cross-reference section begins.
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    bool found = false;
    const qint64 previous =
        startxref < 0 ? 0 : pdf.mid(startxref + 9, 40).simplified().split(' ').first().toLongLong(&found);
    if (!found)
        return {};

    QByteArray out;
    out.reserve(pdf.size() + 65536);
    out.append(pdf);
    if (!out.endsWith('\n'))
        out.append('\n');
    std::map<QPDFObjGen, qint64> offsets;
    for (QPDFObjectHandle object : changed) {
        if (!object.isIndirect() || offsets.count(object.getObjGen()))
            continue;
        const QPDFObjGen id = object.getObjGen();
        offsets[id] = out.size();
        out += QByteArray::number(id.getObj()) + ' ' + QByteArray::number(id.getGen()) + " obj\n";
        if (object.isStream()) {
            const std::shared_ptr<Buffer> data = object.getStreamData(qpdf_dl_generalized);
            // qCompress puts the length before the zlib stream.
            const QByteArray compressed =
                qCompress(reinterpret_cast<const uchar *>(data->getBuffer()), qsizetype(data->getSize()))
                    .mid(4);
            QPDFObjectHandle dictionary = object.getDict().shallowCopy();
            for (const char *key : {"/Filter", "/DecodeParms", "/DL"})
                dictionary.removeKey(key);
            dictionary.replaceKey("/Length", QPDFObjectHandle::newInteger(compressed.size()));
            dictionary.replaceKey("/Filter", QPDFObjectHandle::newName("/FlateDecode"));
            out += unparsed(dictionary) + "\nstream\n" + compressed + "\nendstream\nendobj\n";
        } else {
            out += unparsed(object) + "\nendobj\n";
        }
    }

    const qint64 xref = out.size();
    out += "xref\n";
    for (const auto &[id, offset] : offsets) {
        out += QByteArray::number(id.getObj()) + " 1\n" + QByteArray::number(offset).rightJustified(10, '0') +
               ' ' + QByteArray::number(id.getGen()).rightJustified(5, '0') + " n\r\n";
    }
    QPDFObjectHandle trailer = document.getTrailer();
    qint64 size = trailer.getKey("/Size").isInteger() ? trailer.getKey("/Size").getIntValue() : 0;
    if (!offsets.empty())
        size = std::max<qint64>(size, offsets.rbegin()->first.getObj() + 1);
    out += "trailer\n<< /Size " + QByteArray::number(size);
    for (const std::string &key : trailer.getKeys()) {
        if (key != "/Size" && key != "/Prev" && key != "/XRefStm")
            out += ' ' + QByteArray::fromStdString(key) + ' ' +
                   QByteArray::fromStdString(trailer.getKey(key).unparse());
    }
    out += " /Prev " + QByteArray::number(previous) + " >>\nstartxref\n" + QByteArray::number(xref) +
           "\n%%EOF\n";
    return out;
}

QByteArray writeWhole(QPDF &document)
{
    QByteArray out;
    AppendTo output(out);
    QPDFWriter writer(document);
    writer.setOutputPipeline(&output);
    // The page contents and fonts pass through as Qt compressed them; only new streams are
    // compressed afresh.
    writer.setDecodeLevel(qpdf_dl_none);
    writer.setCompressStreams(true);
    writer.write();
    return out;
}
