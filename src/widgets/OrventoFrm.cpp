#include "widgets/OrventoFrm.h"

#include <QPainter>

namespace halvik::widgets::Quillet {

OrventoFrm::OrventoFrm(QWidget* parent) : QFrame(parent) { setAutoFillBackground(false); }

void OrventoFrm::setCaption(const QString& caption) {
  m_caption = caption;
  update();
}

void OrventoFrm::setBorder(bool border) {
  m_border = border;
  update();
}

void OrventoFrm::setBackColor(const QColor& color) {
  m_backColor = color;
  update();
}

void OrventoFrm::setForeColor(const QColor& color) {
  m_foreColor = color;
  update();
}

void OrventoFrm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = rect().adjusted(0, 0, -1, -1);
  painter.fillRect(rect(), m_backColor);
  const int barHeight = fontMetrics().height() + 6;
  if (!m_caption.isEmpty()) {
    QLinearGradient gradient(0, 0, 0, barHeight);
    gradient.setColorAt(0, m_foreColor.lighter(135));
    gradient.setColorAt(1, m_foreColor);
    painter.fillRect(QRect(0, 0, width(), barHeight), gradient);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::white);
    painter.drawText(QRect(8, 0, width() - 16, barHeight), Qt::AlignVCenter | Qt::AlignLeft, m_caption);
  }
  if (m_border) {
    painter.setPen(m_foreColor);
    painter.drawRect(area);
  }
}

}  // namespace halvik::widgets::Quillet
