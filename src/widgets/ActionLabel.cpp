#include "widgets/ActionLabel.h"

#include "widgets/ActionLabelAccessible.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace halvik::widgets {

ActionLabel::ActionLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  ActionLabelAccessible::install();
}

void ActionLabel::press() {
  if (isEnabled()) emit Click();
}

void ActionLabel::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: press(); return;
    default: QLabel::keyPressEvent(event);
  }
}

// The focus shows as the style's focus frame around the caption.
void ActionLabel::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  QPainter painter(this);
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.rect = contentsRect().adjusted(0, 0, -1, -1);
  option.backgroundColor = palette().color(backgroundRole());
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
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
  if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) press();
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
