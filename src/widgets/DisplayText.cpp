#include "widgets/DisplayText.h"

#include <QColor>
#include <QWidget>

namespace halvik::widgets {

QString displayText(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void setTextColour(QWidget* widget, const QColor& colour) {
  QPalette colours = widget->palette();
  colours.setColor(QPalette::WindowText, colour);
  widget->setPalette(colours);
}

}  // namespace halvik::widgets
