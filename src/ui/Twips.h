#pragma once

class QWidget;

// Window positions and sizes are given in twips (1/1440 inch): 15 twips are one pixel at
// 96 dpi. These convert them with the screen's logical dpi, so the layout keeps its
// proportions on a high-density screen.
namespace twips {

int toPixels(int twips, double logicalDpi);

// Places `widget` at (left, top) with the size (width, height), all in twips, using the
// logical dpi of the widget's screen.
void place(QWidget* widget, int left, int top, int width, int height);

}  // namespace twips
