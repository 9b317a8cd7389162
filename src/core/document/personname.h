#pragma once

#include <QString>

/// A student's name and its parts.
namespace PersonName {

/// The name without its surname: without its first character, or its first two for the
/// two-character surnames (欧阳, 司马, 诸葛, …); empty for a surname alone.
QString withoutSurname(const QString &name);

/// The name a comment calls the student by: the name without its surname, or the full name
/// where that would leave one character or none (司马光 stays 司马光).
QString givenName(const QString &name);

} // namespace PersonName
