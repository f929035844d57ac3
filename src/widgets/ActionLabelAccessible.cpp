#include "widgets/ActionLabelAccessible.h"

#include "widgets/ActionLabel.h"

namespace halvik::widgets {

namespace {
QAccessibleInterface* describe(const QString& className, QObject* object) {
  if (className != QLatin1String("halvik::widgets::ActionLabel") || !object->isWidgetType()) return nullptr;
  return new ActionLabelAccessible(static_cast<ActionLabel*>(object));
}
}  // namespace

ActionLabelAccessible::ActionLabelAccessible(ActionLabel* label) : QAccessibleWidget(label, QAccessible::Button) {}

void ActionLabelAccessible::install() {
  static const bool installed = (QAccessible::installFactory(describe), true);
  (void)installed;
}

QString ActionLabelAccessible::text(QAccessible::Text kind) const {
  const QString own = QAccessibleWidget::text(kind);
  if (kind != QAccessible::Name || !own.isEmpty()) return own;
  return static_cast<const ActionLabel*>(widget())->text();
}

QStringList ActionLabelAccessible::actionNames() const {
  return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void ActionLabelAccessible::doAction(const QString& actionName) {
  if (actionName == pressAction())
    static_cast<ActionLabel*>(widget())->press();
  else
    QAccessibleWidget::doAction(actionName);
}

}  // namespace halvik::widgets
