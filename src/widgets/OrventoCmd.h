#pragma once

#include <QColor>
#include <QIcon>
#include <QPushButton>

namespace halvik::widgets::Quillet {

// The maker's flat command button: a caption (with an "&" access key), a font, a picture,
// a back colour, a mask colour (the picture colour drawn as transparent) and a button type.
// Its Click signal gives the control's index, so that control arrays share one handler.
class OrventoCmd : public QPushButton {
  Q_OBJECT

 public:
  explicit OrventoCmd(QWidget* parent = nullptr, int index = -1);

  int Index() const { return m_index; }

  QString Caption() const { return text(); }
  void setCaption(const QString& caption) { setText(caption); }

  QPixmap Picture() const { return m_picture; }
  void setPicture(const QPixmap& picture);

  QColor BackColor() const { return m_backColor; }
  void setBackColor(const QColor& color);

  QColor MaskColor() const { return m_maskColor; }
  void setMaskColor(const QColor& color);

  // 0: flat (a border only while the mouse is over it); 1: raised.
  int ButtonType() const { return m_buttonType; }
  void setButtonType(int type);

 signals:
  void Click(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void updateLook();
  void updateIconSize();

  int m_index;
  QPixmap m_picture;
  QColor m_backColor{0xF0, 0xF0, 0xF0};
  QColor m_maskColor{0xC0, 0xC0, 0xC0};
  int m_buttonType = 0;
};

}  // namespace halvik::widgets::Quillet
