#pragma once

#include <QString>

#include <string>

class QColor;
class QWidget;

namespace halvik::widgets {

// Paths, names and stored values are bytes in the system's 8-bit encoding. The windows show
// them decoded, keep the bytes beside the text (item data), and act on the bytes.
}  // namespace halvik::widgets

namespace halvik::widgets {

QString displayText(const std::string& bytes);

// Sets the text colour of a label or any other widget that draws its text in WindowText.
void setTextColour(QWidget* widget, const QColor& colour);

}  // namespace halvik::widgets
