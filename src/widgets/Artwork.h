#pragma once

#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <QSize>

// The program's own pictures, drawn with vector strokes so that they stay sharp at any
// screen density. Each is drawn on a transparent ground in one colour.
namespace halvik::widgets::artwork {

enum class Picture {
  Shield,      // the product mark and the status page button
  Magnifier,   // scan
  Pulse,       // active monitor
  Quarantine,  // quarantine list
  Gear,        // settings
  Help,        // help and information
  Globe,       // the maker's web site
  Power,       // quit
};

// The colour of the product mark: the window's top band, its icon and the desktop's icons.
QColor markColour();

// `picture` drawn in `colour` on a transparent pixmap of `size` device-independent pixels,
// at the given device pixel ratio.
QPixmap draw(Picture picture, QSize size, const QColor& colour, qreal devicePixelRatio);

// `picture` drawn in `colour` with `painter` into the square from (0, 0) to (side, side) of its
// current coordinates: for other devices than a pixmap (the icons of the desktop, say).
void paint(QPainter& painter, Picture picture, qreal side, const QColor& colour);

// The product mark as the desktop's icon: the shield on a light ground inside its outline in
// `colour`, so that it reads on dark and light panels alike.
void paintIcon(QPainter& painter, qreal side, const QColor& colour);

}  // namespace halvik::widgets::artwork
