// Feeds arbitrary bytes to the spreadsheet reader, as .xlsx and as .ods through one entry. An
// input that is a ZIP archive is read as it is; any other input is XML, packed into an archive
// as the parts both kinds read: the text before four NUL bytes is the shared strings, the text
// after them the first sheet, and the whole input is the OpenDocument content. The input's text
// is also read as a CSV list. Besides not crashing nor running long (the time limit makes a
// slow input a failure), the rows stay within the limits on rows and columns, and every name
// found is one line of at most the longest name, without control characters when read from XML.
#include "core/document/spreadsheetfile.h"
#include "core/document/spreadsheetnames.h"
#include "core/platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

/// A folder in memory when there is one: the archives are written without disk writes.
QString scratchFile(const QString &name)
{
    static QTemporaryDir dir(
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/qhsy-fuzz-XXXXXX") : QString());
    if (!dir.isValid())
        std::abort();
    return dir.filePath(name);
}

/// An archive of the XML parts of both kinds, stored without compression.
bool writeArchive(const QString &path, const QByteArray &bytes)
{
    const qsizetype split = bytes.indexOf(QByteArrayView("\0\0\0\0", 4));
    const QByteArray strings = split < 0 ? bytes : bytes.first(split);
    const QByteArray sheet = split < 0 ? bytes : bytes.sliced(split + 4);
    const std::pair<const char *, const QByteArray *> parts[] = {
        {"xl/sharedStrings.xml", &strings}, {"xl/worksheets/sheet1.xml", &sheet}, {"content.xml", &bytes}};
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const auto &[name, data] : parts) {
        zip_source_t *source = zip_source_buffer(archive, data->constData(), zip_uint64_t(data->size()), 0);
        const zip_int64_t index = source ? zip_file_add(archive, name, source, ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    return zip_close(archive) == 0;
}

/// `xml`: the rows come from XML, which holds no control characters.
void checkNames(const QList<QStringList> &rows, bool xml)
{
    check(rows.size() <= SpreadsheetNames::MaxRows);
    for (const QStringList &row : rows)
        check(row.size() <= SpreadsheetNames::MaxColumns);
    for (const QString &name : SpreadsheetNames::namesIn(rows)) {
        check(!name.isEmpty() && name.size() <= SpreadsheetNames::MaxNameLength);
        for (const QChar c : name)
            check(!xml || c.unicode() >= 0x20);
    }
}

void readAs(const QString &path)
{
    const Result<QList<QStringList>> rows = SpreadsheetFile::rows(path);
    if (rows)
        checkNames(*rows, true);
    else
        check(!rows.error().isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString xlsx = scratchFile(QStringLiteral("list.xlsx"));
    const QString ods = scratchFile(QStringLiteral("list.ods"));
    if (bytes.startsWith("PK")) {
        // Both names for the same archive: a hard link would do, a copy is as quick at this size.
        for (const QString &path : {xlsx, ods}) {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
                std::abort();
        }
    } else if (!writeArchive(xlsx, bytes) || !QFile::remove(ods) && QFile::exists(ods) ||
               !QFile::copy(xlsx, ods)) {
        std::abort();
    }
    readAs(xlsx);
    readAs(ods);
    const QList<QStringList> csv = SpreadsheetNames::csvRows(TextFile::decode(bytes));
    checkNames(csv, false);
    return 0;
}
