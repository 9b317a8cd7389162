#include "core/printing/layoutschemefile.h"

#include "core/platform/linerewrite.h"
#include "core/platform/textfile.h"
#include "core/printing/messages.h"
#include "core/printing/printeditems.h"

#include <QByteArrayView>
#include <QList>
#include <QStringView>

// The rules are written once, over a list of line views. Saving sends its result to a sink:
// "keep input line i" or "add this new line". The list form collects lines; the file form builds
// the new file's bytes, copying a kept line's bytes as they were in the file, so a line the
// change does not touch is written back byte for byte even when it does not decode cleanly.

namespace {

QStringView rest(QStringView line, qsizetype from)
{
    return from < line.size() ? line.sliced(from) : QStringView();
}

/// The index of the first line reading "name=" + the name (blanks around it ignored), or -1.
/// A name line that is the file's last line has no block behind it and counts as not found.
qsizetype nameLineOf(const QList<QStringView> &lines, const QString &scheme)
{
    const QString wanted = LayoutSchemeFile::NamePrefix + scheme.trimmed();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i] == wanted)
            return i + 1 < lines.size() ? i : -1;
    }
    return -1;
}

/// The value of a key after a block's name line. The first line holding the key anywhere
/// behind the name line answers, even one in a later block; the file's last line never does.
QString valueAfter(const QList<QStringView> &lines, qsizetype nameLine, const QString &key)
{
    for (qsizetype i = nameLine + 1; i < lines.size(); ++i) {
        if (!lines[i].contains(key))
            continue;
        if (i + 1 == lines.size())
            break;
        return rest(lines[i], key.size() + 1).toString();
    }
    return LayoutSchemeFile::NoKey;
}

/// The fields of the items a scheme may print or not, in the order of their lines.
QList<SchemeField> optionalFields(const PrintedItem &item)
{
    if (!item.printed)
        return {};
    QList<SchemeField> fields{item.left, item.top};
    for (const std::optional<SchemeField> &field : {item.text, item.font}) {
        if (field)
            fields.append(*field);
    }
    return fields;
}

bool isOptional(SchemeField field)
{
    return int(field) >= LayoutScheme::FieldCount;
}

/// The value of an optional item's key: a line starting "key=" inside the block only, up to the
/// line holding "*!*", so that a block without it never takes the next block's.
QString valueInBlock(const QList<QStringView> &lines, qsizetype nameLine, const QString &key)
{
    const QString prefix = key + u'=';
    for (qsizetype i = nameLine + 1; i < lines.size(); ++i) {
        if (lines[i].contains(LayoutSchemeFile::BlockEnd))
            break;
        if (lines[i].startsWith(prefix))
            return rest(lines[i], prefix.size()).toString();
    }
    return LayoutSchemeFile::NoKey;
}

QString valueOf(const QList<QStringView> &lines, const QString &scheme, SchemeField field)
{
    const qsizetype nameLine = nameLineOf(lines, scheme);
    if (nameLine < 0)
        return LayoutSchemeFile::NoScheme;
    const QString key = LayoutScheme::key(field);
    return isOptional(field) ? valueInBlock(lines, nameLine, key) : valueAfter(lines, nameLine, key);
}

LayoutScheme schemeOf(const QList<QStringView> &lines, const QString &scheme)
{
    LayoutScheme result;
    result.name = scheme;
    for (SchemeField field : LayoutScheme::LoadFields)
        result.setValue(field, valueOf(lines, scheme, field));
    // An optional item is printed when its block holds any of its lines.
    const qsizetype nameLine = nameLineOf(lines, scheme);
    for (const PrintedItem &item : PrintedItems::all()) {
        bool found = false;
        for (SchemeField field : optionalFields(item)) {
            const QString value = nameLine < 0 ? LayoutSchemeFile::NoKey
                                               : valueInBlock(lines, nameLine, LayoutScheme::key(field));
            found = found || value != LayoutSchemeFile::NoKey;
            result.setValue(field, value == LayoutSchemeFile::NoKey ? QString() : value);
        }
        if (found)
            result.*item.printed = true;
    }
    return result;
}

/// Whether a line is a scheme's value line ("titletext=…"): its text is no scheme name, even
/// when a hand-edited value holds "name=".
bool isValueLine(QStringView line)
{
    for (int field = 0; field < LayoutScheme::AllFieldCount; ++field) {
        const QString key = LayoutScheme::key(SchemeField(field));
        if (line.startsWith(key) && line.size() > key.size() && line[key.size()] == u'=')
            return true;
    }
    return false;
}

QStringList schemesOf(const QList<QStringView> &lines)
{
    QStringList names;
    for (QStringView line : lines) {
        if (line.contains(LayoutSchemeFile::NamePrefix) && !isValueLine(line))
            names.append(rest(line, LayoutSchemeFile::NamePrefix.size()).toString());
    }
    return names;
}

QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    return text;
}

QStringList valueLines(const LayoutScheme &values)
{
    QStringList lines;
    lines.reserve(LayoutScheme::FieldCount);
    for (SchemeField field : LayoutScheme::FileFields)
        lines.append(LayoutScheme::key(field) + u'=' + oneLine(values.value(field)));
    // The items a scheme prints only when it says so follow, only when it does.
    for (const PrintedItem &item : PrintedItems::all()) {
        if (!item.printed || !PrintedItems::isPrinted(item, values))
            continue;
        for (SchemeField field : optionalFields(item))
            lines.append(LayoutScheme::key(field) + u'=' + oneLine(values.value(field)));
    }
    return lines;
}

/// Sends the lines after saving: everything up to the name line kept, the value lines and the
/// block end new, the old lines up to the first "*!*" (or the end) dropped, the rest kept.
/// Returns false, sending nothing, when no block carries the name.
template<class Sink>
bool saveInto(const QList<QStringView> &lines, const QString &scheme, const LayoutScheme &values, Sink &out)
{
    const qsizetype nameLine = nameLineOf(lines, scheme);
    if (nameLine < 0)
        return false;
    for (qsizetype i = 0; i <= nameLine; ++i)
        out.keep(i);
    for (const QString &line : valueLines(values))
        out.add(line);
    out.add(LayoutSchemeFile::BlockEnd);
    qsizetype next = nameLine + 1;
    while (next < lines.size() && !lines[next].contains(LayoutSchemeFile::BlockEnd))
        ++next;
    for (qsizetype i = next + 1; i < lines.size(); ++i)
        out.keep(i);
    return true;
}

using LineRewrite::FileSink;
using LineRewrite::ListSink;
using LineRewrite::viewsOf;

Failure unreadable(const QString &path, const QString &reason)
{
    return Failure{QStringLiteral("无法读取打印方案文件“%1”：%2").arg(path, reason), FailureKind::Unreadable};
}

Result<LineRewrite::File> load(const QString &path)
{
    Result<LineRewrite::File> read = LineRewrite::read(path);
    if (!read)
        return unreadable(path, read.error());
    return read;
}

Result<void> save(const QString &path, const QByteArray &bytes)
{
    // A file the reader would refuse is never written: the old one stays.
    Result<void> written = TextFile::fitsReadLimit(bytes.size());
    if (written)
        written = TextFile::saveAtomically(path, bytes);
    if (!written)
        return Failure{QStringLiteral("无法写入打印方案文件“%1”：%2").arg(path, written.error()),
                       FailureKind::WriteFailed};
    return done();
}

} // namespace

LayoutSchemeFile::LayoutSchemeFile(QString path)
    : m_path(std::move(path))
{}

// ---- Rules on lines in memory -------------------------------------------------------------

QStringList LayoutSchemeFile::schemesIn(const QStringList &lines)
{
    return schemesOf(viewsOf(lines));
}

QString LayoutSchemeFile::valueIn(const QStringList &lines, const QString &scheme, SchemeField field)
{
    return valueOf(viewsOf(lines), scheme, field);
}

LayoutScheme LayoutSchemeFile::schemeIn(const QStringList &lines, const QString &scheme)
{
    return schemeOf(viewsOf(lines), scheme);
}

std::optional<QStringList> LayoutSchemeFile::withSchemeSaved(const QStringList &lines, const QString &scheme,
                                                             const LayoutScheme &values)
{
    ListSink sink(lines);
    if (!saveInto(viewsOf(lines), scheme, values, sink))
        return std::nullopt;
    return sink.take();
}

QStringList LayoutSchemeFile::blockLines(const QString &name, const LayoutScheme &values)
{
    // Lookups trim the name they are given: a name line with blanks around its name would
    // never be found.
    QStringList lines{NamePrefix + oneLine(name).trimmed()};
    lines += valueLines(values);
    lines.append(BlockEnd);
    return lines;
}

// ---- The file -----------------------------------------------------------------------------

Result<QStringList> LayoutSchemeFile::listSchemes() const
{
    const Result<LineRewrite::File> loaded = load(m_path);
    if (!loaded)
        return loaded.failure();
    return schemesOf(loaded->lines);
}

Result<QString> LayoutSchemeFile::readSchemeValue(const QString &scheme, SchemeField field) const
{
    const Result<LineRewrite::File> loaded = load(m_path);
    if (!loaded)
        return loaded.failure();
    return valueOf(loaded->lines, scheme, field);
}

Result<LayoutScheme> LayoutSchemeFile::loadScheme(const QString &scheme) const
{
    // One reading of the file serves all eleven lookups: nothing writes it in between.
    const Result<LineRewrite::File> loaded = load(m_path);
    if (!loaded)
        return loaded.failure();
    return schemeOf(loaded->lines, scheme);
}

Result<void> LayoutSchemeFile::appendScheme(const QString &name, const LayoutScheme &values)
{
    const Result<QByteArray> read = TextFile::readAll(m_path);
    if (!read)
        return unreadable(m_path, read.error());
    QByteArray bytes = *read;
    bytes += "\r\n";
    bytes += TextFile::encode(TextFile::joinLines(blockLines(name, values)));
    return save(m_path, bytes);
}

Result<void> LayoutSchemeFile::saveScheme(const QString &scheme, const LayoutScheme &values)
{
    const Result<LineRewrite::File> loaded = load(m_path);
    if (!loaded)
        return loaded.failure();
    FileSink sink(*loaded);
    if (!saveInto(loaded->lines, scheme, values, sink))
        return Failure{QStringLiteral("没有名为“%1”的打印方案，未保存。").arg(scheme), FailureKind::NotFound};
    return save(m_path, sink.take());
}

Result<LayoutScheme> LayoutSchemeFile::loadOrFirst(const QString &scheme) const
{
    const Result<QStringList> names = listSchemes();
    if (!names)
        return names.failure();
    if (names->isEmpty())
        return Failure{PrintMessages::NoSchemeMessage, FailureKind::Empty};
    if (!scheme.isEmpty() && !names->contains(scheme))
        return Failure{QStringLiteral("没有名为“%1”的打印方案。可用的方案：%2")
                           .arg(scheme, names->join(QStringLiteral("、"))),
                       FailureKind::NotFound};
    return loadScheme(scheme.isEmpty() ? names->first() : scheme);
}
