#pragma once

#include <QString>

class QWidget;

namespace halvik::widgets {

// Window positions and sizes are given in twips (1/1440 inch): 15 twips are one pixel at
// 96 dpi. These convert them with the screen's logical dpi, so the layout keeps its
// proportions on a high-density screen.
}  // namespace halvik::widgets

namespace halvik::widgets::twips {

int toPixels(int twips, double logicalDpi);

// Places `widget` at (left, top) with the size (width, height), all in twips, using the
// logical dpi of the widget's screen.
void place(QWidget* widget, int left, int top, int width, int height);

// Gives a new control its object name and places it as place() does; returns the control, so
// that a window can create, name and place each of its controls in one line.
template <class Control>
Control* placed(Control* control, const QString& objectName, int left, int top, int width, int height) {
  control->setObjectName(objectName);
  place(control, left, top, width, height);
  return control;
}

}  // namespace halvik::widgets::twips
