#include "core/document/spreadsheetfile.h"

#include "core/platform/fileerrorreason.h"
#include "core/platform/libreoffice.h"
#include "core/platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <zip.h>

#include <algorithm>
#include <memory>

namespace SpreadsheetFile {

namespace {

/// No part of a class list is anywhere near this; a larger one is a damaged or hostile file.
constexpr zip_uint64_t MaxPartSize = 64 * 1024 * 1024;
/// Repeated empty cells and rows (an OpenDocument sheet repeats its blank rest) stop here.
constexpr int MaxRepeat = 1000;

const QString DamagedMessage = QStringLiteral("文件“%1”不是有效的%2表格文件，或者已经损坏。");
const QString PasswordMessage =
    QStringLiteral("文件“%1”设有密码保护，无法读取。请在表格软件中取消密码后另存一份再导入。");

struct ZipCloser
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ZipCloser>;

/// One part of the archive; nullopt when it is not there.
Result<std::optional<QByteArray>> part(zip_t *archive, const char *name, const QString &path,
                                       const QString &kind)
{
    const zip_int64_t index = zip_name_locate(archive, name, 0);
    if (index < 0)
        return std::optional<QByteArray>();
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, zip_uint64_t(index), 0, &stat) != 0 || stat.size > MaxPartSize)
        return Failure{DamagedMessage.arg(path, kind), FailureKind::Unreadable};
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
        return Failure{PasswordMessage.arg(path), FailureKind::Unreadable};
    zip_file_t *file = zip_fopen_index(archive, zip_uint64_t(index), 0);
    if (!file) {
        const bool password = zip_error_code_zip(zip_get_error(archive)) == ZIP_ER_NOPASSWD;
        return Failure{(password ? PasswordMessage.arg(path) : DamagedMessage.arg(path, kind)),
                       FailureKind::Unreadable};
    }
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t read = zip_fread(file, bytes.data(), stat.size);
    zip_fclose(file);
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

/// A class list needs few columns: cells further right are left out, so that a hostile sheet
/// cannot make every row thousands of cells long.
constexpr int MaxColumns = 256;

void put(QList<QStringList> &rows, int row, int column, const QString &text)
{
    if (text.isEmpty() || row < 0 || column < 0 || column >= MaxColumns || row > 100000)
        return;
    while (rows.size() <= row)
        rows.append(QStringList());
    QStringList &cells = rows[row];
    while (cells.size() <= column)
        cells.append(QString());
    cells[column] = text;
}

/// From inside the current element to its end: the text of every `textElement` in it, in order
/// (the runs of rich text).
QString textOf(QXmlStreamReader &xml, QStringView textElement)
{
    QString text;
    for (int level = 1; level > 0 && !xml.atEnd();) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == textElement)
            text += xml.readElementText(QXmlStreamReader::IncludeChildElements); // up to its end tag
        else if (xml.isStartElement())
            ++level;
        else if (xml.isEndElement())
            --level;
    }
    return text;
}

Result<QList<QStringList>> xlsxRows(zip_t *archive, const QString &path)
{
    const QString kind = QStringLiteral(" Excel ");
    QStringList shared;
    if (const auto strings = part(archive, "xl/sharedStrings.xml", path, kind); !strings)
        return strings.failure();
    else if (strings->has_value()) {
        QXmlStreamReader xml(**strings);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si")
                shared.append(textOf(xml, u"t"));
        }
    }
    // The first sheet of the workbook, by its relationship; sheet1.xml when that is missing.
    QString sheetPath = QStringLiteral("xl/worksheets/sheet1.xml");
    const auto workbook = part(archive, "xl/workbook.xml", path, kind);
    const auto relations = part(archive, "xl/_rels/workbook.xml.rels", path, kind);
    if (workbook && relations && workbook->has_value() && relations->has_value()) {
        QString firstId;
        QXmlStreamReader books(**workbook);
        while (!books.atEnd() && firstId.isEmpty()) {
            if (books.readNext() == QXmlStreamReader::StartElement && books.name() == u"sheet") {
                for (const QXmlStreamAttribute &attribute : books.attributes()) {
                    if (attribute.name() == u"id")
                        firstId = attribute.value().toString();
                }
            }
        }
        QXmlStreamReader links(**relations);
        while (!links.atEnd()) {
            if (links.readNext() == QXmlStreamReader::StartElement && links.name() == u"Relationship" &&
                links.attributes().value(QLatin1String("Id")) == firstId) {
                const QString target = links.attributes().value(QLatin1String("Target")).toString();
                sheetPath = target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
                break;
            }
        }
    }
    const auto sheet = part(archive, sheetPath.toUtf8().constData(), path, kind);
    if (!sheet)
        return sheet.failure();
    if (!sheet->has_value())
        return Failure{DamagedMessage.arg(path, kind), FailureKind::Unreadable};

    QList<QStringList> rows;
    QXmlStreamReader xml(**sheet);
    int row = -1;
    int column = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"row") {
            bool ok = false;
            const int number = xml.attributes().value(QLatin1String("r")).toInt(&ok);
            row = ok ? number - 1 : row + 1;
            column = -1;
        } else if (xml.name() == u"c") {
            const QXmlStreamAttributes attributes = xml.attributes();
            const int at = columnOf(attributes.value(QLatin1String("r")));
            column = at >= 0 ? at : column + 1;
            const QStringView type = attributes.value(QLatin1String("t"));
            QString value;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isEndElement() && xml.name() == u"c")
                    break;
                if (xml.isStartElement() && xml.name() == u"v")
                    value = xml.readElementText();
                else if (xml.isStartElement() && xml.name() == u"is")
                    value = textOf(xml, u"t");
            }
            if (type == u"s") {
                bool ok = false;
                const int index = value.toInt(&ok);
                value = ok ? shared.value(index) : QString();
            }
            put(rows, std::max(row, 0), column, value);
        }
    }
    if (xml.hasError())
        return Failure{DamagedMessage.arg(path, kind), FailureKind::Unreadable};
    return rows;
}

Result<QList<QStringList>> odsRows(zip_t *archive, const QString &path)
{
    const QString kind = QStringLiteral(" OpenDocument ");
    const auto content = part(archive, "content.xml", path, kind);
    if (!content)
        return content.failure();
    if (!content->has_value())
        return Failure{DamagedMessage.arg(path, kind), FailureKind::Unreadable};
    QList<QStringList> rows;
    QXmlStreamReader xml(**content);
    int tables = 0;
    int row = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"table" && ++tables > 1)
            break; // the first sheet only
        if (!xml.isStartElement() || tables != 1)
            continue;
        if (xml.name() == u"table-row") {
            const int repeat = std::clamp(
                xml.attributes().value(QLatin1String("number-rows-repeated")).toInt(), 1, MaxRepeat);
            row += 1;
            // A repeated row is only ever the blank rest of the sheet, or copies of one row.
            const int firstRow = row;
            QStringList cells;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isEndElement() && xml.name() == u"table-row")
                    break;
                if (!xml.isStartElement() ||
                    (xml.name() != u"table-cell" && xml.name() != u"covered-table-cell"))
                    continue;
                const int times = std::clamp(
                    xml.attributes().value(QLatin1String("number-columns-repeated")).toInt(), 1, MaxRepeat);
                QStringList paragraphs;
                while (!xml.atEnd()) {
                    xml.readNext();
                    if (xml.isEndElement() &&
                        (xml.name() == u"table-cell" || xml.name() == u"covered-table-cell"))
                        break;
                    if (xml.isStartElement() && xml.name() == u"p")
                        paragraphs << xml.readElementText(QXmlStreamReader::IncludeChildElements);
                }
                const QString text = paragraphs.join(u'\n');
                for (int t = 0; t < times; ++t)
                    cells.append(text);
            }
            while (!cells.isEmpty() && cells.last().isEmpty())
                cells.removeLast();
            if (cells.isEmpty()) {
                row = firstRow + repeat - 1;
                continue;
            }
            for (int r = 0; r < repeat; ++r) {
                for (int c = 0; c < cells.size(); ++c)
                    put(rows, firstRow + r, c, cells[c]);
            }
            row = firstRow + repeat - 1;
        }
    }
    if (xml.hasError())
        return Failure{DamagedMessage.arg(path, kind), FailureKind::Unreadable};
    return rows;
}

} // namespace

namespace {

/// An .xls file converted to .xlsx by LibreOffice, in a private folder, then read.
Result<QList<QStringList>> xlsRows(const QString &path)
{
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/qhsy-sheet-XXXXXX"));
    if (!work.isValid())
        return Failure{
            QStringLiteral("无法创建临时文件夹：%1").arg(FileErrorReason::fromText(work.errorString())),
            FailureKind::Unreadable};
    const QString source = work.filePath(QStringLiteral("names.xls"));
    if (const Result<void> copied = LibreOffice::copySource(path, source); !copied)
        return copied.failure();
    // Nothing converted: no LibreOffice, Calc missing (Writer alone cannot load a spreadsheet),
    // or no spreadsheet LibreOffice knows.
    const Result<QString> converted = LibreOffice::convert(source, QStringLiteral("xlsx"), work.path());
    if (converted.kind() == FailureKind::Stopped)
        return converted.failure();
    if (!converted)
        return Failure{QStringLiteral("读取 .xls 文件需要 LibreOffice Calc。请安装 LibreOffice，"
                                      "或者在表格软件中把“%1”另存为 .xlsx 或 .csv 文件后再导入。")
                           .arg(path),
                       FailureKind::Unreadable};
    Result<QList<QStringList>> read = rows(*converted);
    if (!read)
        return Failure{QStringLiteral("文件“%1”不是有效的 Excel 表格文件，或者已经损坏。").arg(path),
                       FailureKind::Unreadable};
    return read;
}

} // namespace

Result<QList<QStringList>> rows(const QString &path)
{
    // A pipe or a device is never opened, nor handed to LibreOffice.
    if (const QString why = TextFile::notARegularFile(path); !why.isEmpty())
        return Failure{why, FailureKind::Unreadable};
    if (path.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive))
        return xlsRows(path);
    const bool ods = path.endsWith(QStringLiteral(".ods"), Qt::CaseInsensitive);
    const QString kind = ods ? QStringLiteral(" OpenDocument ") : QStringLiteral(" Excel ");
    // An Office file protected by a password is a compound file holding the encrypted package.
    if (QFile file(path);
        file.open(QIODevice::ReadOnly) && file.read(8) == QByteArray::fromHex("D0CF11E0A1B11AE1"))
        return Failure{PasswordMessage.arg(path), FailureKind::Unreadable};
    int error = 0;
    Archive archive(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
    if (!archive)
        return Failure{DamagedMessage.arg(path, kind), FailureKind::Unreadable};
    return ods ? odsRows(archive.get(), path) : xlsxRows(archive.get(), path);
}

} // namespace SpreadsheetFile
