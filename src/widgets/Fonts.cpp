#include "widgets/Fonts.h"

#include <QFontDatabase>

namespace halvik::widgets::fonts {
namespace {
// `preferred` when it is installed; otherwise `fallback` at the given width (a narrow face
// stands in for a narrow one, so that captions keep to the widths the layout gives them).
QFont face(const QString& preferred, const QString& fallback, int stretch, qreal pointSize) {
  QFont font;
  if (QFontDatabase::hasFamily(preferred)) {
    font.setFamily(preferred);
  } else {
    font.setFamily(fallback);
    font.setStretch(stretch);
  }
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(pointSize);
  return font;
}
}  // namespace

QFont ui(qreal pointSize) {
  return face(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QFont::SemiCondensed, pointSize);
}

QFont verdana(qreal pointSize) {
  return face(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), QFont::Unstretched, pointSize);
}

}  // namespace halvik::widgets::fonts
