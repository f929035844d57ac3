#include "widgets/ActionLabel.h"

#include <QEvent>
#include <QMouseEvent>

namespace halvik::widgets {

ActionLabel::ActionLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  setCursor(Qt::PointingHandCursor);
}

void ActionLabel::setForeColor(const QColor& color) {
  m_foreColor = color;
  updateColour();
}

void ActionLabel::mousePressEvent(QMouseEvent* event) {
  m_pressed = event->button() == Qt::LeftButton;
  QLabel::mousePressEvent(event);
}

void ActionLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool wasPressed = m_pressed;
  m_pressed = false;
  QLabel::mouseReleaseEvent(event);
  if (wasPressed && isEnabled() && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit Click();
}

void ActionLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) {
    setCursor(isEnabled() ? Qt::PointingHandCursor : Qt::ArrowCursor);
    updateColour();
  }
}

void ActionLabel::updateColour() {
  if (!m_foreColor.isValid()) return;
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, isEnabled() ? m_foreColor : QColor(0x9A, 0x9A, 0x9A));
  setPalette(colours);
}

}  // namespace halvik::widgets
