#pragma once

class QCoreApplication;

// Qt's own texts in French: the standard buttons ("Oui", "Non", "Annuler", "Enregistrer") and the
// standard dialogs, whatever the system's language.
namespace halvik::widgets {

// Installs the French translation of Qt that is built into the program. False when it could not be
// loaded (Qt then speaks English).
bool installQtFrench(QCoreApplication& application);

}  // namespace halvik::widgets
