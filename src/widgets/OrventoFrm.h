#pragma once

#include <QColor>
#include <QFrame>
#include <QString>

namespace halvik::widgets::Quillet {

// The maker's framed panel: a caption drawn in a bar along its top edge, a border, and back
// and fore colours. Children are placed freely inside it, in twips from its top left corner.
class OrventoFrm : public QFrame {
  Q_OBJECT

 public:
  explicit OrventoFrm(QWidget* parent = nullptr);

  QString Caption() const { return m_caption; }
  void setCaption(const QString& caption);

  bool Border() const { return m_border; }
  void setBorder(bool border);

  QColor BackColor() const { return m_backColor; }
  void setBackColor(const QColor& color);

  QColor ForeColor() const { return m_foreColor; }
  void setForeColor(const QColor& color);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString m_caption;
  bool m_border = true;
  QColor m_backColor{0xFF, 0xFF, 0xFF};
  QColor m_foreColor{0x1F, 0x3A, 0x5F};
};

}  // namespace halvik::widgets::Quillet
