#include "widgets/Artwork.h"

#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace halvik::widgets::artwork {
namespace {

// Every picture is drawn on a 32 x 32 grid; the painter scales it to the requested size.
constexpr qreal kGrid = 32.0;

QPainterPath shieldOutline() {
  QPainterPath path;
  path.moveTo(16, 2);
  path.cubicTo(20, 5, 24, 6, 28, 6);
  path.cubicTo(28, 18, 24, 25, 16, 30);
  path.cubicTo(8, 25, 4, 18, 4, 6);
  path.cubicTo(8, 6, 12, 5, 16, 2);
  return path;
}

void drawShield(QPainter& painter) {
  painter.drawPath(shieldOutline());
  painter.drawPolyline(QPolygonF{{10, 16}, {14.5, 20.5}, {22, 11}});
}

void drawMagnifier(QPainter& painter) {
  painter.drawEllipse(QPointF(13, 13), 8, 8);
  QPen thick = painter.pen();
  thick.setWidthF(thick.widthF() * 1.8);
  painter.setPen(thick);
  painter.drawLine(QPointF(19, 19), QPointF(28, 28));
}

void drawPulse(QPainter& painter) {
  painter.drawRoundedRect(QRectF(3, 5, 26, 19), 2, 2);
  painter.drawLine(QPointF(11, 29), QPointF(21, 29));
  painter.drawLine(QPointF(16, 24), QPointF(16, 29));
  painter.drawPolyline(QPolygonF{{6, 15}, {11, 15}, {13, 10}, {16, 20}, {19, 12}, {21, 15}, {26, 15}});
}

void drawQuarantine(QPainter& painter) {
  painter.drawRoundedRect(QRectF(4, 11, 24, 17), 2, 2);
  painter.drawLine(QPointF(4, 17), QPointF(28, 17));
  painter.drawArc(QRectF(10, 3, 12, 16), 0, 180 * 16);
  painter.drawLine(QPointF(10, 11), QPointF(10, 9));
  painter.drawLine(QPointF(22, 11), QPointF(22, 9));
  painter.drawEllipse(QPointF(16, 22.5), 1.6, 1.6);
}

void drawGear(QPainter& painter) {
  constexpr int kTeeth = 8;
  QPainterPath teeth;
  for (int i = 0; i < kTeeth; ++i) {
    const double angle = 2 * std::numbers::pi * i / kTeeth;
    const QPointF inner(16 + 9 * std::cos(angle), 16 + 9 * std::sin(angle));
    const QPointF outer(16 + 13.5 * std::cos(angle), 16 + 13.5 * std::sin(angle));
    teeth.moveTo(inner);
    teeth.lineTo(outer);
  }
  painter.drawEllipse(QPointF(16, 16), 9, 9);
  painter.drawEllipse(QPointF(16, 16), 3.5, 3.5);
  QPen wide = painter.pen();
  wide.setWidthF(wide.widthF() * 2.2);
  wide.setCapStyle(Qt::FlatCap);
  painter.setPen(wide);
  painter.drawPath(teeth);
}

void drawHelp(QPainter& painter) {
  painter.drawEllipse(QPointF(16, 16), 13, 13);
  QPainterPath hook;
  hook.moveTo(11.5, 12.5);
  hook.cubicTo(11.5, 6.5, 20.5, 6.5, 20.5, 12);
  hook.cubicTo(20.5, 15.5, 16, 15.5, 16, 19.5);
  painter.drawPath(hook);
  painter.drawPoint(QPointF(16, 24));
}

void drawGlobe(QPainter& painter) {
  painter.drawEllipse(QPointF(16, 16), 13, 13);
  painter.drawEllipse(QPointF(16, 16), 5.5, 13);
  painter.drawLine(QPointF(16, 3), QPointF(16, 29));
  painter.drawLine(QPointF(3, 16), QPointF(29, 16));
  painter.drawLine(QPointF(5.5, 9.5), QPointF(26.5, 9.5));
  painter.drawLine(QPointF(5.5, 22.5), QPointF(26.5, 22.5));
}

void drawPower(QPainter& painter) {
  painter.drawArc(QRectF(5, 6, 22, 22), 120 * 16, 300 * 16);
  painter.drawLine(QPointF(16, 3), QPointF(16, 15));
}

void drawPicture(QPainter& painter, Picture picture) {
  switch (picture) {
    case Picture::Shield: return drawShield(painter);
    case Picture::Magnifier: return drawMagnifier(painter);
    case Picture::Pulse: return drawPulse(painter);
    case Picture::Quarantine: return drawQuarantine(painter);
    case Picture::Gear: return drawGear(painter);
    case Picture::Help: return drawHelp(painter);
    case Picture::Globe: return drawGlobe(painter);
    case Picture::Power: return drawPower(painter);
  }
}

}  // namespace

QColor markColour() { return QColor(0x1F, 0x3A, 0x5F); }

QPixmap draw(Picture picture, QSize size, const QColor& colour, qreal devicePixelRatio) {
  QPixmap pixmap(size * devicePixelRatio);
  pixmap.setDevicePixelRatio(devicePixelRatio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal side = std::min(size.width(), size.height());
  painter.translate((size.width() - side) / 2.0, (size.height() - side) / 2.0);
  paint(painter, picture, side, colour);
  return pixmap;
}

void paint(QPainter& painter, Picture picture, qreal side, const QColor& colour) {
  painter.save();
  painter.scale(side / kGrid, side / kGrid);
  painter.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  drawPicture(painter, picture);
  painter.restore();
}

void paintIcon(QPainter& painter, qreal side, const QColor& colour) {
  painter.save();
  painter.scale(side / kGrid, side / kGrid);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xF6, 0xF8, 0xFB));
  painter.drawPath(shieldOutline());
  painter.restore();
  paint(painter, Picture::Shield, side, colour);
}

}  // namespace halvik::widgets::artwork
