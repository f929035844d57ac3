#include "ui/HelpText.h"

namespace halvik::ui {

QString helpText() {
  // Word for word as the help page has always read ("2007", "Es ce que", "Moniteur active"): kept unchanged.
  return QStringLiteral(
      "Orvento Halvik 2007 - Aide et informations\n"
      "--------------------------------------------------------------\n"
      "FAQ:\n"
      "----------\n"
      "\n"
      "Q. C'est quoi Orvento Halvik 2007 ?\n"
      "R. Un logiciel qui supprime les adwares, les spywares et les chevaux de Troie "
      "de votre ordinateur. Il peut aussi détecter certains virus.\n"
      "\n"
      "Q. Qui est l'auteur de ce logiciel ?\n"
      "R. Orvento Halvik est écrit par l'équipe de développement d'Orvento. Les nouvelles "
      "versions et nos adresses de contact sont sur notre page web : www.orvento.example\n"
      "\n"
      "Q. Es ce que j'aurais besoin si j'utilise un Antivirus ?\n"
      "R. Oui. Les adwares et les spywares ne sont pas classés comme des virus, car ils ne "
      "présentent aucun danger direct pour l'ordinateur : la plupart des antivirus les laissent passer.\n"
      "\n"
      "Q. Où sont ces fichiers dangereux ?\n"
      "R. Un peu partout sur vos disques. Les adwares affichent de la publicité, les spywares "
      "espionnent ce que vous faites, les chevaux de Troie ouvrent votre ordinateur à un pirate, "
      "les virus se copient dans d'autres fichiers, et les \"Thiefware\" volent vos mots de passe "
      "et vos numéros de carte de crédit.\n"
      "\n"
      "Q. C'est quoi le Moniteur active ?\n"
      "R. Il ressemble au gestionnaire des tâches, mais il ne repère que les applications "
      "dangereuses, afin de les suspendre. Activez-le depuis la page \"Moniteur\" : il revoit "
      "la liste toutes les quelques secondes.\n"
      "\n"
      "Q. Comment scanner mon ordinateur ?\n"
      "R. Cliquez sur \"SCANNEZ\", choisissez \"Scannez tout l'ordinateur\" puis cliquez sur "
      "\"Suivant\". Tous les lecteurs sont scannés et les applications trouvées sont listées "
      "pour être supprimées. Le scan rapide ne vérifie que le dossier du système.\n");
}

}  // namespace halvik::ui
