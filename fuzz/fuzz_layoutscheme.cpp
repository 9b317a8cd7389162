// Feeds arbitrary bytes to the print-layout rules: the scheme list, loading and saving, with
// scheme names and values taken from the input itself. Besides not crashing, saving must leave
// every line outside the saved block as it was: the lines up to the name line, and the lines
// after the first "*!*" behind it; the saved block must load back as saved; a name that no
// block carries loads as "fname" everywhere and cannot be saved. For some inputs the file
// operations run on a file holding the bytes and must agree with the rules in memory.
#include "core/platform/programfiles.h"
#include "core/platform/textfile.h"
#include "core/printing/layoutschemefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QStringList linesOf(const QString &text)
{
    QStringList lines;
    for (QStringView line : TextFile::splitLineViewsAnyBreak(text))
        lines.append(line.toString());
    return lines;
}

QString asWritten(QString text)
{
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return text;
}

/// Values from the input: the text after "=" in its lines 2 to 11, and a stretch of the raw
/// text (line breaks included) for the last one.
LayoutScheme valuesFrom(const QStringList &lines, const QString &text)
{
    LayoutScheme values;
    const auto &fields = LayoutScheme::FileFields;
    for (int k = 0; k + 1 < LayoutScheme::FieldCount; ++k) {
        const QString line = lines.value(k + 1);
        values.setValue(fields[k], line.mid(line.indexOf(u'=') + 1));
    }
    values.setValue(fields.back(), text.mid(text.size() % 50, 20));
    return values;
}

/// The saved lines against the old ones: same up to the name line, then the block, then the
/// old lines from just after the first "*!*" behind the name line.
void checkSaved(const QStringList &lines, const QStringList &saved, qsizetype nameLine, const QString &scheme,
                const LayoutScheme &values)
{
    const auto &fields = LayoutScheme::FileFields;
    check(saved.size() >= nameLine + 13);
    check(saved.mid(0, nameLine + 1) == lines.mid(0, nameLine + 1));
    for (int k = 0; k < LayoutScheme::FieldCount; ++k)
        check(saved.at(nameLine + 1 + k) ==
              LayoutScheme::key(fields[k]) + u'=' + asWritten(values.value(fields[k])));
    check(saved.at(nameLine + 12) == LayoutSchemeFile::BlockEnd);

    const QStringList tail = saved.mid(nameLine + 13);
    const qsizetype droppedCount = lines.size() - nameLine - 1 - tail.size();
    check(droppedCount >= 0);
    check(tail == lines.mid(lines.size() - tail.size()));
    const QStringList dropped = lines.mid(nameLine + 1, droppedCount);
    for (qsizetype i = 0; i + 1 < dropped.size(); ++i)
        check(!dropped.at(i).contains(LayoutSchemeFile::BlockEnd));
    if (!tail.isEmpty())
        check(!dropped.isEmpty() && dropped.last().contains(LayoutSchemeFile::BlockEnd));
    for (const QString &line : saved)
        check(!line.contains(u'\r') && !line.contains(u'\n'));

    // Each value line is the first to hold its key unless a value holds a key's name.
    bool plain = true;
    for (SchemeField field : fields) {
        for (SchemeField other : fields)
            plain = plain && !values.value(other).contains(LayoutScheme::key(field));
    }
    if (plain) {
        LayoutScheme expected = values;
        expected.name = scheme;
        for (SchemeField field : fields)
            expected.setValue(field, asWritten(values.value(field)));
        check(LayoutSchemeFile::schemeIn(saved, scheme) == expected);
    }
}

QString scratchFile()
{
    static QTemporaryDir dir(
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/qhsy-fuzz-XXXXXX") : QString());
    if (!dir.isValid())
        std::abort();
    return dir.filePath(ProgramFiles::SchemesName);
}

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

QByteArray readRaw(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

/// Saves and appends on a file holding the bytes; compares with the rules in memory.
void checkFile(const QByteArray &bytes, const QStringList &lines, const QString &scheme,
               const LayoutScheme &values)
{
    const QString path = scratchFile();
    writeRaw(path, bytes);
    LayoutSchemeFile file(path);
    const Result<QStringList> listed = file.listSchemes();
    check(listed && *listed == LayoutSchemeFile::schemesIn(lines));
    const Result<LayoutScheme> loaded = file.loadScheme(scheme);
    check(loaded && *loaded == LayoutSchemeFile::schemeIn(lines, scheme));

    const auto expected = LayoutSchemeFile::withSchemeSaved(lines, scheme, values);
    const Result<void> saved = file.saveScheme(scheme, values);
    const QByteArray written = readRaw(path);
    if (!expected) {
        check(saved.kind() == FailureKind::NotFound && written == bytes);
    } else {
        check(saved.ok() && written.endsWith("\r\n"));
        const QStringList reread = linesOf(TextFile::decode(written));
        // Kept lines are written as the bytes they had; those read back as the same text when
        // the input is well-formed.
        if (TextFile::encode(TextFile::decode(bytes)) == bytes)
            check(reread == *expected);
        else
            check(reread.size() == expected->size());
    }

    writeRaw(path, bytes);
    check(file.appendScheme(scheme, values).ok());
    const QByteArray appended = readRaw(path);
    QString block =
        TextFile::CrLf + LayoutSchemeFile::NamePrefix + asWritten(scheme).trimmed() + TextFile::CrLf;
    for (SchemeField field : LayoutScheme::FileFields)
        block += LayoutScheme::key(field) + u'=' + asWritten(values.value(field)) + TextFile::CrLf;
    block += LayoutSchemeFile::BlockEnd + TextFile::CrLf;
    check(appended == bytes + TextFile::encode(block));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = TextFile::decode(bytes);
    const QStringList lines = linesOf(text);

    // Names from the input: the schemes it lists (padded ones among them), its first line and
    // a stretch of the raw text.
    const QStringList names = LayoutSchemeFile::schemesIn(lines);
    QStringList candidates{lines.value(0), lines.value(0).mid(5), text.left(100)};
    for (qsizetype i = 0; i < names.size() && i < 3; ++i)
        candidates.append(names.at(i));
    if (!names.isEmpty())
        candidates.append(names.last());
    const LayoutScheme values = valuesFrom(lines, text);

    for (const QString &scheme : candidates) {
        const qsizetype at = lines.indexOf(LayoutSchemeFile::NamePrefix + scheme.trimmed());
        const bool found = at >= 0 && at + 1 < lines.size();

        const LayoutScheme loaded = LayoutSchemeFile::schemeIn(lines, scheme);
        check(loaded.name == scheme);
        if (!found) {
            for (SchemeField field : LayoutScheme::FileFields)
                check(loaded.value(field) == LayoutSchemeFile::NoScheme);
        }

        const auto saved = LayoutSchemeFile::withSchemeSaved(lines, scheme, values);
        check(saved.has_value() == found);
        if (saved)
            checkSaved(lines, *saved, at, scheme, values);
    }

    // Files cost far more than the rules under the sanitizers: one input in eight.
    if (size % 8 == 0)
        checkFile(bytes, lines, names.isEmpty() ? lines.value(0) : names.value(int(size / 8) % names.size()),
                  values);
    return 0;
}
