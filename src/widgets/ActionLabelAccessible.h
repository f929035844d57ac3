#pragma once

#include <QAccessibleWidget>

namespace halvik::widgets {

class ActionLabel;

// What assistive technology sees of an ActionLabel: a button named by its caption, whose press
// action clicks it.
class ActionLabelAccessible : public QAccessibleWidget {
 public:
  explicit ActionLabelAccessible(ActionLabel* label);

  // Makes Qt describe every ActionLabel through this class (once per program).
  static void install();

  QString text(QAccessible::Text kind) const override;
  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
};

}  // namespace halvik::widgets
