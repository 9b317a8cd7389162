#pragma once

#include <QString>
#include <QStringList>

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
    QString pytextjuli;   ///< extra gap between two comment lines
    QString teacherleft;
    QString teachertop;

    /// The eleven keys in the order of a block's value lines.
    static const QStringList FileKeys;
    /// The order in which a scheme is loaded, one lookup per key.
    static const QStringList LoadKeys;

    /// The text of a value by its key ("" for an unknown key).
    QString value(const QString &key) const;
    /// Sets a value by its key (an unknown key changes nothing).
    void setValue(const QString &key, const QString &text);
    /// A value as a number of centimetres.
    double number(const QString &key) const;

    /// The longest paper side a scheme can print on, in centimetres: a PDF page, and with it a
    /// print job, ends at 200 inches.
    static constexpr double MaxPaperCm = 500;
    /// Why the paper of this scheme cannot be printed on, naming the scheme and the value at
    /// fault; "" when its width and height are both more than 0 and at most MaxPaperCm. Check it
    /// before turning the paper size into whole twips.
    QString paperSizeError() const;

    friend bool operator==(const LayoutScheme &, const LayoutScheme &) = default;
};
