// Writes the program's icons for the desktop's icon theme from the window's own artwork: the
// shield in the colour of the product mark on a light ground, as a scalable SVG and as PNGs of
// the theme's sizes, and the symbolic shield (one flat grey the desktop recolours, for panels
// that ask for symbolic icons).
// Usage: halvik_icons <folder> <name>   writes <folder>/scalable/<name>.svg,
// <folder>/<N>x<N>/<name>.png for every size and <folder>/symbolic/<name>-symbolic.svg.
#include "widgets/Artwork.h"

#include <QDir>
#include <QImage>
#include <QSvgGenerator>

#include <iostream>

namespace halvik::app {

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr int kScalableSide = 256;

bool writePng(const QString& folder, const QString& name, int side) {
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  widgets::artwork::paintIcon(painter, side, widgets::artwork::markColour());
  painter.end();
  const QString sized = QStringLiteral("%1/%2x%2").arg(folder).arg(side);
  return QDir().mkpath(sized) && image.save(sized + "/" + name + ".png");
}

// An SVG of the shield into <folder>/<subfolder>/<file>.svg: the icon, or the symbolic shield.
bool writeSvg(const QString& folder, const QString& file, bool symbolic) {
  if (!QDir().mkpath(folder)) return false;
  QSvgGenerator svg;
  svg.setFileName(folder + "/" + file + ".svg");
  svg.setSize(QSize(kScalableSide, kScalableSide));
  svg.setViewBox(QRect(0, 0, kScalableSide, kScalableSide));
  svg.setTitle(QStringLiteral("Orvento Halvik"));
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  if (symbolic)
    widgets::artwork::paint(painter, widgets::artwork::Picture::Shield, kScalableSide, QColor(0xBE, 0xBE, 0xBE));
  else
    widgets::artwork::paintIcon(painter, kScalableSide, widgets::artwork::markColour());
  return painter.end();
}

}  // namespace

int run(int argc, char* argv[]) {
  if (argc != 3) {
    std::cerr << "usage: halvik_icons <folder> <name>\n";
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const QString name = QString::fromLocal8Bit(argv[2]);
  bool written = writeSvg(folder + "/scalable", name, false);
  written = writeSvg(folder + "/symbolic", name + "-symbolic", true) && written;
  for (const int side : kSizes) written = writePng(folder, name, side) && written;
  if (!written) std::cerr << "halvik_icons: could not write every icon into " << argv[1] << "\n";
  return written ? 0 : 1;
}

}  // namespace halvik::app

int main(int argc, char* argv[]) { return halvik::app::run(argc, argv); }
