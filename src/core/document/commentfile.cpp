#include "core/document/commentfile.h"

#include "core/document/messages.h"
#include "core/platform/fileerrorreason.h"
#include "core/platform/leadingnumber.h"
#include "core/platform/textfile.h"

#include <QIODevice>

#include <array>
#include <cmath>

namespace CommentFile {

namespace {

const QString TeacherKey = QStringLiteral("teacher=");
const std::array<QString, 3> ItemPrefixes = {QStringLiteral("student"), QStringLiteral("pytext"),
                                             QStringLiteral("teacher")};
const QString NameKey = QStringLiteral("fontname=");
const QString SizeKey = QStringLiteral("fontsize=");
const QString BoldKey = QStringLiteral("fontbold=");
const QString ItalicKey = QStringLiteral("fontitalic=");
constexpr int HeaderLines = 14;

// The text of a line after its first n characters. When the cut falls inside a character
// written as a surrogate pair, the dangling half is dropped too: alone it is no character and
// could not be written back.
QString textAfter(QStringView line, qsizetype n)
{
    n = std::min(line.size(), n);
    if (n > 0 && n < line.size() && line[n].isLowSurrogate() && line[n - 1].isHighSurrogate())
        ++n;
    return line.mid(n).toString();
}

// The value of a key line: the rest after the key's length. The key text itself is not
// compared, so a misspelt key still yields its value.
QString valueAfter(QStringView line, const QString &prefix, const QString &key)
{
    return textAfter(line, prefix.size() + key.size());
}

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// One-line fields must not carry a CR, which would end the line early and shift every line
// after it.
QString oneLine(QString text)
{
    return text.replace(u'\r', u' ');
}

QString escapeMarkers(QString comment, bool *changed)
{
    *changed = false;
    // Replacing can bring a new marker together ("*!*!*"), so repeat until none is left.
    while (comment.contains(Marker)) {
        comment.replace(Marker, EscapedMarker);
        *changed = true;
    }
    return comment;
}

} // namespace

namespace {

/// Reads the decoded text of a comment file into `document`, a line at a time.
Result<ReadDetails> parseText(QStringView text, qsizetype unreadable, CommentDocument &document)
{
    TextFile::LineReader reader(text);
    std::array<QStringView, HeaderLines> header;
    document.clearSlots();
    for (QStringView &line : header) {
        if (!reader.next(&line))
            return Failure{DocumentMessages::RejectionMessage};
    }
    if (header[0] != Header && header[0] != OldHeader)
        return Failure{DocumentMessages::RejectionMessage};

    document.TeacherSignature = valueAfter(header[1], {}, TeacherKey);
    for (int item = 0; item < 3; ++item) {
        const QString &prefix = ItemPrefixes[std::size_t(item)];
        const std::size_t first = 2 + 4 * std::size_t(item);
        ItemFont &font = document.ItemFonts[std::size_t(item)];
        font.fontName = valueAfter(header[first], prefix, NameKey);
        font.fontSize = leadingNumber(valueAfter(header[first + 1], prefix, SizeKey));
        font.bold = valueAfter(header[first + 2], prefix, BoldKey) == u"true";
        font.italic = valueAfter(header[first + 3], prefix, ItalicKey) == u"true";
    }

    int slot = 1;
    for (QStringView line; slot <= CommentDocument::MaxStudents && reader.next(&line);) {
        StudentSlot &current = document.slot(slot);
        if (line == Marker) {
            if (current.comment.size() > 1)
                current.comment.chop(2);
            ++slot;
        } else if (line.size() > 3 && line.contains(Marker)) {
            current.name = textAfter(line, 3);
        } else {
            current.comment += line;
            current.comment += TextFile::CrLf;
        }
    }
    // Past the last slot the rest is only counted: one student a name line.
    qsizetype beyond = 0;
    for (QStringView line; slot > CommentDocument::MaxStudents && reader.next(&line);) {
        if (line.size() > 3 && line.contains(Marker))
            ++beyond;
    }
    const qsizetype students = beyond > 0 ? CommentDocument::MaxStudents + beyond : document.studentCount();
    return ReadDetails{unreadable, students};
}

/// Decodes what was read and lets the bytes go before parsing, so a large file is not held
/// twice.
Result<ReadDetails> parseRead(Result<QByteArray> result, CommentDocument &document, const QString &path)
{
    if (!result)
        return Failure{path.isEmpty() ? result.error()
                                      : DocumentMessages::UnreadableMessage.arg(path, result.error())};
    qsizetype unreadable = 0;
    const QString text = TextFile::decode(*result, &unreadable);
    result = QByteArray();
    return parseText(text, unreadable, document);
}

} // namespace

Result<ReadDetails> parse(const QByteArray &bytes, CommentDocument &document)
{
    qsizetype unreadable = 0;
    const QString text = TextFile::decode(bytes, &unreadable);
    return parseText(text, unreadable, document);
}

Result<ReadDetails> read(QIODevice *device, CommentDocument &document)
{
    return parseRead(TextFile::readAll(device), document, QString());
}

Result<ReadDetails> read(const QString &path, CommentDocument &document)
{
    return parseRead(TextFile::readAll(path), document, path);
}

QString formatFontSize(double size)
{
    const float single = float(size);
    if (!std::isfinite(single))
        return QStringLiteral("0");
    // Round to 7 significant digits first, then write without an exponent.
    const double rounded = QString::number(double(single), 'g', 7).toDouble();
    if (rounded == 0)
        return QStringLiteral("0");
    const int exponent = int(std::floor(std::log10(std::fabs(rounded))));
    QString text = QString::number(rounded, 'f', std::max(0, 6 - exponent));
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}

QString compose(const CommentDocument &document, const ItemFonts &fonts, QStringList *escaped)
{
    QString text;
    qsizetype size = 1024;
    for (int i = 1; i <= CommentDocument::MaxStudents && !document.slot(i).name.isEmpty(); ++i)
        size += document.slot(i).name.size() + document.slot(i).comment.size() + 16;
    text.reserve(size);
    const auto line = [&text](QStringView first, QStringView second = {}) {
        text += first;
        text += second;
        text += TextFile::CrLf;
    };

    line(Header);
    line(TeacherKey, oneLine(document.TeacherSignature));
    for (int item = 0; item < 3; ++item) {
        const QString &prefix = ItemPrefixes[std::size_t(item)];
        const ItemFont &font = fonts[std::size_t(item)];
        line(prefix + NameKey, oneLine(font.fontName));
        line(prefix + SizeKey, formatFontSize(font.fontSize));
        line(prefix + BoldKey, boolText(font.bold));
        line(prefix + ItalicKey, boolText(font.italic));
    }
    for (int i = 1; i <= CommentDocument::MaxStudents; ++i) {
        const StudentSlot &slot = document.slot(i);
        if (slot.name.isEmpty())
            break;
        bool changed = false;
        line(Marker, oneLine(slot.name));
        // The comment is written as it stands: each of its lines becomes one file line.
        line(escapeMarkers(slot.comment, &changed));
        line(Marker);
        if (changed && escaped)
            escaped->append(slot.name);
    }
    return text;
}

Result<QStringList> write(QIODevice *device, const CommentDocument &document, const ItemFonts &fonts)
{
    QStringList escaped;
    const QByteArray bytes = TextFile::encode(compose(document, fonts, &escaped));
    if (const Result<void> fits = TextFile::fitsReadLimit(bytes.size()); !fits)
        return Failure{fits.error()};
    if (!device->isOpen() && !device->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Failure{FileErrorReason::of(*device)};
    if (device->write(bytes) != bytes.size())
        return Failure{FileErrorReason::of(*device)};
    return escaped;
}

Result<QStringList> write(const QString &path, const CommentDocument &document, const ItemFonts &fonts)
{
    QStringList escaped;
    const QByteArray bytes = TextFile::encode(compose(document, fonts, &escaped));
    // A file the reader would refuse is never written: the old one stays.
    Result<void> written = TextFile::fitsReadLimit(bytes.size());
    if (written)
        written = TextFile::saveAtomically(path, bytes);
    if (!written)
        return Failure{written.error()};
    return escaped;
}

} // namespace CommentFile
