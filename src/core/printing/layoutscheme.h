#pragma once

#include <QString>

#include <array>

/// The values of a print layout scheme: the eleven lengths in the order of a block's value
/// lines, then the place, text and font of the heading and of the date, which only schemes that
/// print those items carry.
enum class SchemeField {
    PaperHeight,
    PaperWidth,
    StudentLeft,
    StudentTop,
    PyTextLeft,
    PyTextTop,
    PyTextHeight,
    PyTextWidth,
    PyTextJuli, ///< extra gap between two comment lines
    TeacherLeft,
    TeacherTop,
    TitleLeft,
    TitleTop,
    TitleText,
    TitleFont, ///< "face,size,bold,italic"
    DateLeft,
    DateTop,
    DateText,
    DateFont,
};

/// A print layout scheme: a name and eleven lengths in centimetres that fix the page size and
/// the places of the three printed items. Each value is kept as the text read from the file or
/// typed by the teacher (".5", "12cm", "xname", ...) and turned into a number only where it is
/// used, with leadingNumber: a text that does not start with a number counts as 0.
struct LayoutScheme
{
    QString name;
    QString paperheight;
    QString paperwidth;
    QString studentleft;
    QString studenttop;
    QString pytextleft;
    QString pytexttop;
    QString pytextheight;
    QString pytextwidth;
    QString pytextjuli; ///< extra gap between two comment lines
    QString teacherleft;
    QString teachertop;
    bool printsTitle = false; ///< the heading is printed: its four values are in the block
    QString titleleft;
    QString titletop;
    QString titletext;
    QString titlefont;
    bool printsDate = false; ///< the date is printed: its four values are in the block
    QString dateleft;
    QString datetop;
    QString datetext;
    QString datefont;

    /// The eleven value lines every block has.
    static constexpr int FieldCount = 11;
    /// Every field, the optional items' included.
    static constexpr int AllFieldCount = 19;
    /// The eleven fields in the order of a block's value lines.
    static constexpr std::array<SchemeField, FieldCount> FileFields = {
        SchemeField::PaperHeight,  SchemeField::PaperWidth,  SchemeField::StudentLeft,
        SchemeField::StudentTop,   SchemeField::PyTextLeft,  SchemeField::PyTextTop,
        SchemeField::PyTextHeight, SchemeField::PyTextWidth, SchemeField::PyTextJuli,
        SchemeField::TeacherLeft,  SchemeField::TeacherTop};
    /// The order in which a scheme is loaded, one lookup per field.
    static constexpr std::array<SchemeField, FieldCount> LoadFields = {
        SchemeField::PyTextJuli,  SchemeField::PaperWidth,  SchemeField::PaperHeight,
        SchemeField::StudentLeft, SchemeField::StudentTop,  SchemeField::PyTextLeft,
        SchemeField::PyTextTop,   SchemeField::PyTextWidth, SchemeField::PyTextHeight,
        SchemeField::TeacherLeft, SchemeField::TeacherTop};

    /// The key that names a field in the scheme file ("paperheight", "pytextjuli", ...).
    static QString key(SchemeField field);
    /// The text of a field.
    const QString &value(SchemeField field) const;
    /// Sets the text of a field.
    void setValue(SchemeField field, const QString &text);
    /// A field as a number of centimetres.
    double number(SchemeField field) const;

    /// The longest paper side a scheme can print on, in centimetres: a PDF page, and with it a
    /// print job, ends at 200 inches.
    static constexpr double MaxPaperCm = 500;
    /// Why the paper of this scheme cannot be printed on, naming the scheme and the value at
    /// fault; "" when its width and height are both more than 0 and at most MaxPaperCm. Check it
    /// before turning the paper size into whole twips.
    QString paperSizeError() const;

    friend bool operator==(const LayoutScheme &, const LayoutScheme &) = default;
};
