#include "widgets/QtFrench.h"

#include <QCoreApplication>
#include <QTranslator>

// The resource lives in a static library: nothing would pull it into the program without this.
static void initialiseQtFrenchResource() { Q_INIT_RESOURCE(qt_french); }

namespace halvik::widgets {

bool installQtFrench(QCoreApplication& application) {
  initialiseQtFrenchResource();
  auto* translator = new QTranslator(&application);
  if (translator->load(QStringLiteral(":/translations/qtbase_fr.qm")) &&
      QCoreApplication::installTranslator(translator))
    return true;
  delete translator;
  return false;
}

}  // namespace halvik::widgets
