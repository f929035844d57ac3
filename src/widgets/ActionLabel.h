#pragma once

#include <QLabel>

namespace halvik::widgets {

// A label used as a button or a link: it shows a hand pointer while the mouse is over it,
// emits Click when pressed and released over it, and does nothing while disabled.
class ActionLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ActionLabel(const QString& caption = QString(), QWidget* parent = nullptr);

  // Sets the text colour (shown greyed while disabled).
  void setForeColor(const QColor& color);

  // Free text kept with the control, as the designer's tag property.
  const QString& Tag() const { return m_tag; }
  void setTag(const QString& tag) { m_tag = tag; }

 signals:
  void Click();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void updateColour();

  QColor m_foreColor;
  QString m_tag;
  bool m_pressed = false;
};

}  // namespace halvik::widgets
