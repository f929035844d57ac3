#include "widgets/Twips.h"

#include <QWidget>

#include <cmath>

namespace halvik::widgets::twips {

int toPixels(int twips, double logicalDpi) { return static_cast<int>(std::lround(twips * logicalDpi / 1440.0)); }

void place(QWidget* widget, int left, int top, int width, int height) {
  const double dpi = widget->logicalDpiX();
  widget->setGeometry(toPixels(left, dpi), toPixels(top, dpi), toPixels(width, dpi), toPixels(height, dpi));
}

}  // namespace halvik::widgets::twips
