#pragma once

#include <QLabel>

namespace halvik::widgets {

// A label used as a button or a link: it shows a hand pointer while the mouse is over it,
// emits Click when pressed and released over it, and does nothing while disabled. The keyboard
// reaches it with Tab, a focus frame shows it, and Enter or Space press it; assistive
// technology sees a button named by its caption (ActionLabelAccessible).
class ActionLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ActionLabel(const QString& caption = QString(), QWidget* parent = nullptr);

  // Sets the text colour (shown greyed while disabled).
  void setForeColor(const QColor& color);

  // Emits Click, as a mouse press would, unless the control is disabled.
  void press();

  // Free text kept with the control, as the designer's tag property.
  const QString& Tag() const { return m_tag; }
  void setTag(const QString& tag) { m_tag = tag; }

 signals:
  void Click();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void updateColour();

  QColor m_foreColor;
  QString m_tag;
  bool m_pressed = false;
};

}  // namespace halvik::widgets
