#pragma once

#include <QFont>

// The program's type faces, with the closest installed face when the preferred one is missing
// (a narrow humanist sans for Tahoma, a wide one for Verdana).
namespace halvik::widgets::fonts {

// The user-interface font: Tahoma 8 pt or the closest face.
QFont ui(qreal pointSize = 8);

// Verdana or the closest face: the captions of the status page and the help text.
QFont verdana(qreal pointSize = 8);

}  // namespace halvik::widgets::fonts
