#pragma once

#include "core/platform/twips.h"

#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

/// The controls the print window's panels are built of, placed where the design puts them: in
/// twips from their container's top-left corner, as pixels on the window's screen.
namespace PanelParts {

/// A length in twips as pixels on the screen `widget` is on.
int px(const QWidget *widget, double twips);
/// Gives a control its designed place in its container.
void place(QWidget *widget, const Twips::Box &box);
/// A caption at its place.
QLabel *label(const QString &text, QWidget *parent, const Twips::Box &box);
/// The button "Command<number>" at its place.
QPushButton *command(int number, const QString &text, QWidget *parent, const Twips::Box &box);
/// A text box with an object name, placed by the caller.
QLineEdit *textBox(const QString &name, QWidget *parent);
/// An editable box with a list whose typed text is taken as it stands: no completion, no new
/// list entries.
QComboBox *combo(const QString &name, QWidget *parent);

} // namespace PanelParts
