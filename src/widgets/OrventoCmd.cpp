#include "widgets/OrventoCmd.h"

#include <QBitmap>

#include <algorithm>

namespace halvik::widgets::Quillet {

OrventoCmd::OrventoCmd(QWidget* parent, int index) : QPushButton(parent), m_index(index) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::TabFocus);
  connect(this, &QPushButton::clicked, this, [this] { emit Click(m_index); });
  updateLook();
}

void OrventoCmd::setPicture(const QPixmap& picture) {
  m_picture = picture;
  updateLook();
}

void OrventoCmd::setBackColor(const QColor& color) {
  m_backColor = color;
  updateLook();
}

void OrventoCmd::setMaskColor(const QColor& color) {
  m_maskColor = color;
  updateLook();
}

void OrventoCmd::setButtonType(int type) {
  m_buttonType = type;
  updateLook();
}

void OrventoCmd::updateLook() {
  if (m_picture.isNull()) {
    setIcon(QIcon());
  } else {
    QPixmap masked = m_picture;
    masked.setMask(m_picture.createMaskFromColor(m_maskColor, Qt::MaskInColor));
    setIcon(QIcon(masked));
    updateIconSize();
  }
  const QString border =
      m_buttonType == 0 ? QStringLiteral("1px solid transparent") : QStringLiteral("1px outset #9a9a9a");
  setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: %2; border-radius: 3px; padding: 2px; }"
                               "QPushButton:hover { border: 1px solid #6f8fb8; background-color: %3; }"
                               "QPushButton:pressed { background-color: %4; }"
                               "QPushButton:disabled { color: #9a9a9a; }")
                    .arg(m_backColor.name(), border, m_backColor.lighter(106).name(), m_backColor.darker(110).name()));
}

void OrventoCmd::resizeEvent(QResizeEvent* event) {
  QPushButton::resizeEvent(event);
  updateIconSize();
}

// A picture alone fills most of the button; beside a caption it takes less than half its height.
void OrventoCmd::updateIconSize() {
  if (m_picture.isNull()) return;
  if (size().isEmpty()) {
    setIconSize(m_picture.deviceIndependentSize().toSize());
    return;
  }
  if (text().isEmpty()) {
    setIconSize(size() * 0.8);
  } else {
    const int side = static_cast<int>(std::min(width(), height()) * 0.45);
    setIconSize(QSize(side, side));
  }
}

}  // namespace halvik::widgets::Quillet
