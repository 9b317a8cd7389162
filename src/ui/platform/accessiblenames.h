#pragma once

#include <QString>

class QLabel;
class QWidget;

/// Names for assistive technology (a screen reader): what a control is called when the
/// keyboard reaches it. A name never changes what the window shows.
namespace AccessibleNames {

/// A command's caption as a button, a tip or a screen reader shows it: without the access key
/// ("(&V)" or "&") and without a closing "..." ("打印预览(&V)" → "打印预览", "打开(&O)..." → "打开").
QString withoutAccessKey(const QString &caption);

/// Names a control after its caption, without the access key and a closing "：". A box with a
/// list (QComboBox) names its text box and its list as well, which get the keyboard in its
/// place.
void name(QWidget *control, const QString &caption);

/// Ties a caption to the control it stands before: the control takes the caption's name and
/// a screen reader reads the caption as its label.
void label(QLabel *caption, QWidget *control);

} // namespace AccessibleNames
