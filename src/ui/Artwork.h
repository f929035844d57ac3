#pragma once

#include <QColor>
#include <QPixmap>
#include <QSize>

// The program's own pictures, drawn with vector strokes so that they stay sharp at any
// screen density. Each is drawn on a transparent ground in one colour.
namespace artwork {

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

// `picture` drawn in `colour` on a transparent pixmap of `size` device-independent pixels,
// at the given device pixel ratio.
QPixmap draw(Picture picture, QSize size, const QColor& colour, qreal devicePixelRatio);

}  // namespace artwork
