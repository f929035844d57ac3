// Writes the program's icons for the desktop's icon theme from the window's own artwork: the
// shield in the colour of the product mark, as a scalable SVG and as PNGs of the theme's sizes.
// Usage: halvik_icons <folder> <name>   writes <folder>/scalable/<name>.svg and
// <folder>/<N>x<N>/<name>.png for every size.
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
  widgets::artwork::paint(painter, widgets::artwork::Picture::Shield, side, widgets::artwork::markColour());
  painter.end();
  const QString sized = QStringLiteral("%1/%2x%2").arg(folder).arg(side);
  return QDir().mkpath(sized) && image.save(sized + "/" + name + ".png");
}

bool writeSvg(const QString& folder, const QString& name) {
  const QString scalable = folder + "/scalable";
  if (!QDir().mkpath(scalable)) return false;
  QSvgGenerator svg;
  svg.setFileName(scalable + "/" + name + ".svg");
  svg.setSize(QSize(kScalableSide, kScalableSide));
  svg.setViewBox(QRect(0, 0, kScalableSide, kScalableSide));
  svg.setTitle(QStringLiteral("Orvento Halvik"));
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  widgets::artwork::paint(painter, widgets::artwork::Picture::Shield, kScalableSide, widgets::artwork::markColour());
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
  bool written = writeSvg(folder, name);
  for (const int side : kSizes) written = writePng(folder, name, side) && written;
  if (!written) std::cerr << "halvik_icons: could not write every icon into " << argv[1] << "\n";
  return written ? 0 : 1;
}

}  // namespace halvik::app

int main(int argc, char* argv[]) { return halvik::app::run(argc, argv); }
