#include "core/document/spreadsheetfile.h"

#include "core/document/spreadsheetnames.h"

#include "core/platform/fileerrorreason.h"
#include "core/platform/libreoffice.h"
#include "core/platform/libzip.h"
#include "core/platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>
#include <memory>

namespace SpreadsheetFile {

namespace {

/// No part of a class list is anywhere near this; a larger one is a damaged or hostile file.
constexpr zip_uint64_t MaxPartSize = 64 * 1024 * 1024;

const QString UnreadableMessage = QStringLiteral("无法读取文件“%1”：%2");
const QString DamagedMessage = QStringLiteral("文件“%1”不是有效的%2表格文件，或者已经损坏。");
const QString PasswordMessage =
    QStringLiteral("文件“%1”设有密码保护，无法读取。请在表格软件中取消密码后另存一份再导入。");

struct ZipCloser
{
    void operator()(zip_t *archive) const { LibZip::functions()->discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ZipCloser>;

/// One part of the archive; nullopt when it is not there.
Result<std::optional<QByteArray>> part(zip_t *archive, const char *name, const QString &path,
                                       const QString &kind)
{
    // Only reached with an archive open, so with the library loaded.
    const LibZip::Functions &zip = *LibZip::functions();
    const zip_int64_t index = zip.nameLocate(archive, name, 0);
    if (index < 0)
        return std::optional<QByteArray>();
    zip_stat_t stat;
    zip.statInit(&stat);
    if (zip.statIndex(archive, zip_uint64_t(index), 0, &stat) != 0 || stat.size > MaxPartSize)
        return Failure{DamagedMessage.arg(path, kind), FailureKind::Unreadable};
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
        return Failure{PasswordMessage.arg(path), FailureKind::Unreadable};
    zip_file_t *file = zip.fopenIndex(archive, zip_uint64_t(index), 0);
    if (!file) {
        const bool password = zip.errorCodeZip(zip.getError(archive)) == ZIP_ER_NOPASSWD;
        return Failure{(password ? PasswordMessage.arg(path) : DamagedMessage.arg(path, kind)),
                       FailureKind::Unreadable};
    }
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t read = zip.fread(file, bytes.data(), stat.size);
    zip.fclose(file);
    if (read != zip_int64_t(stat.size))
        return Failure{DamagedMessage.arg(path, kind), FailureKind::Unreadable};
    return std::optional<QByteArray>(bytes);
}

/// "B7" → 1 (the column of a cell reference), -1 when there is none.
int columnOf(QStringView reference)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && reference[i].isLetter(); ++i) {
        column = column * 26 + (reference[i].toUpper().unicode() - u'A' + 1);
        if (column > 16384) // past the last column a spreadsheet has
            return -1;
    }
    return i == 0 ? -1 : column - 1;
}

using SpreadsheetNames::MaxColumns;
using SpreadsheetNames::MaxRows;

/// No spreadsheet nests its elements this deep. The XML reader keeps every open element, so
/// a file of unclosed tags would otherwise take memory without end.
constexpr int MaxDepth = 100;
/// Far more different texts than any workbook holding a class list has.
constexpr qsizetype MaxSharedStrings = 1 << 20;

const QString TableNamespace = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");

/// The text cut to MaxCellLength characters.
QString cellText(QString text)
{
    if (text.size() > MaxCellLength)
        text.truncate(MaxCellLength);
    return text;
}

void put(QList<QStringList> &rows, qint64 row, int column, const QString &text)
{
    if (text.isEmpty() || row < 0 || column < 0 || column >= MaxColumns || row >= MaxRows)
        return;
    while (rows.size() <= row)
        rows.append(QStringList());
    QStringList &cells = rows[row];
    while (cells.size() <= column)
        cells.append(QString());
    cells[column] = text;
}

/// A character XML 1.0 does not allow, which spreadsheet programs still write into cells.
bool isControl(uint c)
{
    return c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
}

/// The XML without control characters, raw or as references ("&#1;", "&#x1F;"): a reader
/// refuses them, and the whole list would be lost for one stray character in a cell.
QByteArray withoutControlCharacters(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) // UTF-16 has its own
        return bytes;
    const bool clean = !bytes.contains("&#") &&
                       std::none_of(bytes.begin(), bytes.end(), [](char c) { return isControl(uchar(c)); });
    if (clean)
        return bytes;
    QByteArray kept;
    kept.reserve(bytes.size());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const uchar c = uchar(bytes[i]);
        if (isControl(c))
            continue;
        if (c == '&' && i + 1 < size && bytes[i + 1] == '#') {
            qsizetype end = i + 2;
            const bool hex = end < size && bytes[end] == 'x';
            end += hex ? 1 : 0;
            uint value = 0;
            const qsizetype first = end;
            for (; end < size && end - first < 8; ++end) {
                const int digit = QChar::fromLatin1(bytes[end]).digitValue();
                const int hexDigit = QByteArrayView("0123456789abcdef").indexOf(char(bytes[end] | 0x20));
                if (hex ? hexDigit < 0 : digit < 0)
                    break;
                value = value * (hex ? 16 : 10) + uint(hex ? hexDigit : digit);
            }
            if (end > first && end < size && bytes[end] == ';' && (value == 0 || isControl(value))) {
                i = end;
                continue;
            }
        }
        kept += char(c);
    }
    return kept;
}

/// Excel's escapes for characters XML cannot hold: "_x000D_" is a carriage return, "_x005F_"
/// an underscore (so "_x005F_x000D_" is the text "_x000D_"). Control characters are dropped.
QString withEscapesDecoded(const QString &text)
{
    if (!text.contains(QStringLiteral("_x"), Qt::CaseInsensitive))
        return text;
    QString decoded;
    decoded.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && (text[i + 1] == u'x' || text[i + 1] == u'X') &&
            text[i + 6] == u'_') {
            uint code = 0;
            bool ok = true;
            for (qsizetype d = i + 2; d < i + 6 && ok; ++d) {
                const int digit =
                    QByteArrayView("0123456789abcdef").indexOf(char(text[d].toLower().unicode()));
                ok = digit >= 0 && text[d].unicode() < 0x80;
                code = code * 16 + uint(digit);
            }
            if (ok) {
                if (!isControl(code))
                    decoded += QChar(char16_t(code));
                i += 6;
                continue;
            }
        }
        decoded += text[i];
    }
    return decoded;
}

/// A QXmlStreamReader that counts how deep it is and stops, as an error, past MaxDepth.
class SheetXml
{
public:
    explicit SheetXml(const QByteArray &bytes)
        : m_xml(withoutControlCharacters(bytes))
    {}

    /// Reads the next token; false at the end of the document or at an error.
    bool next()
    {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token == QXmlStreamReader::StartElement && ++m_depth > MaxDepth)
            m_xml.raiseError(QStringLiteral("elements nested too deep"));
        else if (token == QXmlStreamReader::EndElement)
            --m_depth;
        return !m_xml.atEnd();
    }
    /// The depth of the element last started (1 for the document's root), inside it.
    int depth() const { return m_depth; }
    bool isStart(QStringView name) const { return m_xml.isStartElement() && m_xml.name() == name; }
    /// Reads on to the end of the element just started.
    void skip()
    {
        for (const int depth = m_depth; m_depth >= depth && next();) {
        }
    }
    /// From the element just started to its end: its characters, or only those of its `runs`
    /// elements when given; what the `skipped` elements hold is left out. OpenDocument's
    /// spaces, tabs and line breaks given as elements count as such. Only the first
    /// MaxCellLength characters are kept.
    QString text(QStringView runs = {}, QStringView skipped = {})
    {
        QString text;
        int inRun = runs.isEmpty() ? m_depth : 0; // the depth of the run being read
        for (const int depth = m_depth; next() && m_depth >= depth;) {
            if (m_xml.isStartElement()) {
                if (!skipped.isEmpty() && m_xml.name() == skipped)
                    skip();
                else if (inRun == 0 && m_xml.name() == runs)
                    inRun = m_depth;
                else if (inRun && m_xml.name() == u"s")
                    text += u' ';
                else if (inRun && m_xml.name() == u"tab")
                    text += u'\t';
                else if (inRun && m_xml.name() == u"line-break")
                    text += u'\n';
            } else if (m_xml.isEndElement() && m_depth < inRun) {
                inRun = 0;
            } else if (m_xml.isCharacters() && inRun && text.size() < MaxCellLength) {
                text += m_xml.text().first(std::min<qsizetype>(m_xml.text().size(), MaxCellLength - text.size()));
            }
        }
        return text;
    }
    const QXmlStreamReader &reader() const { return m_xml; }

private:
    QXmlStreamReader m_xml;
    int m_depth = 0;
};

/// The text of a string item (`<si>`, `<is>`): its `<t>` runs, without the phonetic guide
/// (`<rPh>`) that Excel keeps beside a Chinese or Japanese name.
QString stringItem(SheetXml &xml)
{
    return cellText(withEscapesDecoded(xml.text(u"t", u"rPh")));
}

Result<QList<QStringList>> xlsxRows(zip_t *archive, const QString &path)
{
    const QString kind = QStringLiteral(" Excel ");
    const auto damaged = [&] { return Failure{DamagedMessage.arg(path, kind), FailureKind::Unreadable}; };
    QStringList shared;
    if (const auto strings = part(archive, "xl/sharedStrings.xml", path, kind); !strings)
        return strings.failure();
    else if (strings->has_value()) {
        SheetXml xml(**strings);
        while (xml.next() && shared.size() < MaxSharedStrings) {
            if (xml.isStart(u"si"))
                shared.append(stringItem(xml));
        }
        if (xml.reader().hasError())
            return damaged();
    }
    // The first sheet of the workbook, by its relationship; sheet1.xml when that is missing.
    QString sheetPath = QStringLiteral("xl/worksheets/sheet1.xml");
    const auto workbook = part(archive, "xl/workbook.xml", path, kind);
    const auto relations = part(archive, "xl/_rels/workbook.xml.rels", path, kind);
    if (workbook && relations && workbook->has_value() && relations->has_value()) {
        QString firstId;
        SheetXml books(**workbook);
        while (books.next() && firstId.isEmpty()) {
            if (books.isStart(u"sheet")) {
                for (const QXmlStreamAttribute &attribute : books.reader().attributes()) {
                    if (attribute.name() == u"id")
                        firstId = attribute.value().toString();
                }
            }
        }
        SheetXml links(**relations);
        while (links.next()) {
            if (links.isStart(u"Relationship") &&
                links.reader().attributes().value(QLatin1String("Id")) == firstId) {
                const QString target = links.reader().attributes().value(QLatin1String("Target")).toString();
                sheetPath = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
                break;
            }
        }
    }
    const auto sheet = part(archive, sheetPath.toUtf8().constData(), path, kind);
    if (!sheet)
        return sheet.failure();
    if (!sheet->has_value())
        return damaged();

    QList<QStringList> rows;
    SheetXml xml(**sheet);
    qint64 row = -1; // wide: a row number may be the largest int, and the next row one more
    int column = -1;
    while (xml.next() && row < MaxRows) {
        if (xml.isStart(u"row")) {
            bool ok = false;
            const qint64 number = xml.reader().attributes().value(QLatin1String("r")).toLongLong(&ok);
            row = std::min<qint64>(ok && number > 0 ? number - 1 : row + 1, MaxRows);
            column = -1;
        } else if (xml.isStart(u"c")) {
            const QXmlStreamAttributes attributes = xml.reader().attributes();
            const int at = columnOf(attributes.value(QLatin1String("r")));
            column = at >= 0 ? at : std::min(column + 1, MaxColumns);
            const bool sharedString = attributes.value(QLatin1String("t")) == u"s";
            QString value;
            for (const int depth = xml.depth(); xml.next() && xml.depth() >= depth;) {
                if (xml.isStart(u"v"))
                    value = cellText(withEscapesDecoded(xml.text()));
                else if (xml.isStart(u"is"))
                    value = stringItem(xml);
            }
            if (sharedString) {
                bool ok = false;
                const qsizetype index = value.toLongLong(&ok);
                value = ok ? shared.value(index) : QString();
            }
            put(rows, std::max<qint64>(row, 0), column, value);
        }
    }
    if (xml.reader().hasError())
        return damaged();
    return rows;
}

/// From a table cell just started to its end: its paragraphs, one a line. Comments on the
/// cell and phonetic guides (ruby text) are left out.
QString odsCellText(SheetXml &xml)
{
    QStringList paragraphs;
    for (const int depth = xml.depth(); xml.next() && xml.depth() >= depth;) {
        if (xml.isStart(u"annotation"))
            xml.skip();
        else if (xml.isStart(u"p") || xml.isStart(u"h"))
            paragraphs << xml.text({}, u"ruby-text");
    }
    return cellText(paragraphs.join(u'\n'));
}

Result<QList<QStringList>> odsRows(zip_t *archive, const QString &path)
{
    const QString kind = QStringLiteral(" OpenDocument ");
    const auto content = part(archive, "content.xml", path, kind);
    if (!content)
        return content.failure();
    if (!content->has_value())
        return Failure{DamagedMessage.arg(path, kind), FailureKind::Unreadable};
    // The repeat counts are read by namespace: LibreOffice and others may bind any prefix.
    const auto repeated = [](const QXmlStreamReader &reader, QLatin1StringView name, int most) {
        return std::clamp(reader.attributes().value(TableNamespace, name).toInt(), 1, most);
    };
    QList<QStringList> rows;
    SheetXml xml(**content);
    int tables = 0;
    int row = 0; // the next row
    while (xml.next() && row < MaxRows) {
        if (xml.isStart(u"table") && ++tables > 1)
            break; // the first sheet only
        if (tables != 1 || !xml.isStart(u"table-row"))
            continue;
        const int repeat = repeated(xml.reader(), QLatin1StringView("number-rows-repeated"), MaxRows);
        QStringList cells;
        for (const int depth = xml.depth(); xml.next() && xml.depth() >= depth;) {
            if (!xml.isStart(u"table-cell") && !xml.isStart(u"covered-table-cell"))
                continue;
            const int times =
                repeated(xml.reader(), QLatin1StringView("number-columns-repeated"), MaxColumns);
            const QString text = odsCellText(xml);
            for (int t = 0; t < times && cells.size() < MaxColumns; ++t)
                cells.append(text);
        }
        while (!cells.isEmpty() && cells.last().isEmpty())
            cells.removeLast();
        // A repeated row is only ever the blank rest of the sheet, or copies of one row: the
        // copies share their cells.
        if (!cells.isEmpty()) {
            while (rows.size() < row)
                rows.append(QStringList());
            for (int r = 0; r < repeat && rows.size() < MaxRows; ++r)
                rows.append(cells);
        }
        row += repeat;
    }
    if (xml.reader().hasError())
        return Failure{DamagedMessage.arg(path, kind), FailureKind::Unreadable};
    return rows;
}

} // namespace

namespace {

/// The rows of an .xlsx or .ods file (a ZIP archive).
Result<QList<QStringList>> archiveRows(const QString &path, bool ods)
{
    const QString kind = ods ? QStringLiteral(" OpenDocument ") : QStringLiteral(" Excel ");
    const LibZip::Functions *zip = LibZip::functions();
    if (!zip)
        return Failure{LibZip::unavailableMessage(), FailureKind::Unreadable};
    int error = 0;
    Archive archive(zip->open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
    if (!archive)
        return Failure{DamagedMessage.arg(path, kind), FailureKind::Unreadable};
    return ods ? odsRows(archive.get(), path) : xlsxRows(archive.get(), path);
}

/// An .xls file converted to .xlsx by LibreOffice, in a private folder, then read. `renamed`:
/// the file has the name of a newer kind, which the teacher is told when it cannot be read.
Result<QList<QStringList>> xlsRows(const QString &path, bool renamed)
{
    // Declared first, so that an interrupted conversion ends the program only once the folder
    // holding the copy of the class list is gone.
    const LibreOffice::InterruptScope interrupts;
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/qhsy-sheet-XXXXXX"));
    if (!work.isValid())
        return Failure{
            QStringLiteral("无法创建临时文件夹：%1").arg(FileErrorReason::fromText(work.errorString())),
            FailureKind::Unreadable};
    const QString source = work.filePath(QStringLiteral("names.xls"));
    if (const Result<void> copied = LibreOffice::copySource(path, source); !copied)
        return copied.failure();
    const QString oldKind =
        renamed ? QStringLiteral("文件“%1”其实是旧版 Excel 文件（.xls）。").arg(path) : QString();
    // Nothing converted: no LibreOffice, Calc missing (Writer alone cannot load a spreadsheet),
    // or no spreadsheet LibreOffice knows.
    const Result<QString> converted = LibreOffice::convert(source, QStringLiteral("xlsx"), work.path());
    if (converted.kind() == FailureKind::Stopped)
        return converted.failure();
    if (!converted)
        return Failure{oldKind + QStringLiteral("读取 .xls 文件需要 LibreOffice Calc。请安装 LibreOffice，"
                                                "或者在表格软件中把“%1”另存为 .xlsx 或 .csv 文件后再导入。")
                                     .arg(path),
                       FailureKind::Unreadable};
    Result<QList<QStringList>> read = archiveRows(*converted, false);
    if (!read)
        return Failure{oldKind +
                           QStringLiteral("文件“%1”不是有效的 Excel 表格文件，或者已经损坏。").arg(path),
                       FailureKind::Unreadable};
    return read;
}

/// Whether a compound file (the container of old Office files) holds an Excel workbook: its
/// directory names the stream "Workbook" (or "Book" before Excel 97), in UTF-16.
bool holdsWorkbook(QFile &file)
{
    static const QByteArray Workbook = QByteArray("W\0o\0r\0k\0b\0o\0o\0k\0", 16);
    static const QByteArray Book = QByteArray("B\0o\0o\0k\0", 8);
    if (!file.seek(0))
        return false;
    const QByteArray bytes = file.read(qint64(MaxPartSize));
    return bytes.contains(Workbook) || bytes.contains(Book);
}

} // namespace

Result<QList<QStringList>> rows(const QString &path)
{
    // A pipe or a device is never opened, nor handed to LibreOffice.
    if (const QString why = TextFile::notARegularFile(path); !why.isEmpty())
        return Failure{why, FailureKind::Unreadable};
    // A file that is not there or may not be read is said to be so, as for a text list; it is
    // not called damaged.
    QFile file;
    if (const Result<void> opened = TextFile::openForReading(file, path); !opened)
        return Failure{UnreadableMessage.arg(path, opened.error()), FailureKind::Unreadable};
    if (path.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive))
        return xlsRows(path, false);
    // A compound file is either an old Excel workbook given a new name, or an Office file
    // protected by a password, which is a compound file holding the encrypted package.
    if (file.read(8) == QByteArray::fromHex("D0CF11E0A1B11AE1")) {
        if (holdsWorkbook(file))
            return xlsRows(path, true);
        return Failure{PasswordMessage.arg(path), FailureKind::Unreadable};
    }
    return archiveRows(path, path.endsWith(QStringLiteral(".ods"), Qt::CaseInsensitive));
}

} // namespace SpreadsheetFile
