#include "app/CommandLine.h"

#include "app/HitLine.h"
#include "platform/FolderCheck.h"
#include "platform/Platform.h"

#include <filesystem>

namespace halvik::app {
namespace {

constexpr const char* kProgram = "orvento-halvik";

Request failure(const std::string& text) {
  Request request;
  request.action = Action::Error;
  request.message = message(text);
  return request;
}

std::string quoted(const std::string& text) { return "\u00AB " + escapedForLine(text) + " \u00BB"; }

// "0" to "4": a page of the main window.
std::optional<int> pageNumber(const std::string& text) {
  if (text.size() != 1 || text[0] < '0' || text[0] > '4') return std::nullopt;
  return text[0] - '0';
}

// "1" to "256": the threads of a scan; 0 for anything else.
unsigned jobCount(const std::string& text) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) return 0;
  const unsigned count = static_cast<unsigned>(std::stoul(text));
  return count <= 256 ? count : 0;
}

// The words of the command line, one at a time.
class Words {
 public:
  explicit Words(const std::vector<std::string>& words) : m_words(words) {}
  bool done() const { return m_next >= m_words.size(); }
  const std::string& take() { return m_words[m_next++]; }
  const std::string& peek() const { return m_words[m_next]; }

 private:
  const std::vector<std::string>& m_words;
  std::size_t m_next = 0;
};

// The value of the option `name` given as "name VALUE" or "name=VALUE", taken from `words`;
// nullopt when `word` is not that option. A missing value reads as empty text.
std::optional<std::string> optionValue(const std::string& word, const std::string& name, Words& words) {
  if (word == name) return words.done() ? std::string() : words.take();
  if (word.starts_with(name + "=")) return word.substr(name.size() + 1);
  return std::nullopt;
}

// True when `request` holds an option of --scan alone.
bool hasScanOption(const Request& request) {
  return request.repair || request.format != Format::Text || request.quiet || !request.excludes.empty() ||
         !request.excludeFiles.empty() || request.jobs != 0 || request.allDrives;
}

// Checks the options read against each other once every word is read.
Request checked(Request request, bool scan) {
  if (request.action == Action::Update || request.action == Action::Rollback) {
    const bool alone = !scan && !hasScanOption(request) && !request.page && !request.settings && request.paths.empty();
    return alone ? request : failure("--update et --rollback s'emploient seuls");
  }
  if (hasScanOption(request) && !scan)
    return failure(
        "--repair, --format, --quiet, --exclude, --exclude-from, --jobs et --all-drives ne "
        "s'emploient qu'avec --scan");
  if (scan) {
    if (request.page || request.settings) return failure("--scan ne s'emploie ni avec --page ni avec --settings");
    if (request.allDrives && !request.paths.empty()) return failure("--all-drives ne s'emploie pas avec des chemins");
    if (request.paths.empty() && !request.allDrives) return failure("--scan demande au moins un chemin");
    request.action = Action::Scan;
  } else if (request.page && !request.paths.empty()) {
    return failure("--page ne s'emploie pas avec des dossiers (ils s'ouvrent sur la page de scan)");
  }
  return request;
}

// The options read with --watch, checked against each other.
Request checkedWatch(Request request, bool scan) {
  if (scan) return failure("--watch ne s'emploie pas avec --scan");
  if (request.action == Action::Update || request.action == Action::Rollback)
    return failure("--update et --rollback s'emploient seuls");
  Request others = request;
  others.repair = false;
  others.format = Format::Text;
  if (hasScanOption(others))
    return failure("--quiet, --exclude, --exclude-from, --jobs et --all-drives ne s'emploient qu'avec --scan");
  if (request.page || request.settings) return failure("--watch ne s'emploie ni avec --page ni avec --settings");
  if (request.paths.empty()) return failure("--watch demande au moins un dossier");
  request.action = Action::Watch;
  return request;
}

}  // namespace

std::string message(const std::string& text) { return std::string(kProgram) + " : " + text; }

Request parse(const std::vector<std::string>& arguments) {
  Request request;
  bool scan = false;
  bool watch = false;
  bool optionsEnded = false;
  Words words(arguments);
  while (!words.done()) {
    const std::string& word = words.take();
    if (optionsEnded || word.empty() || word[0] != '-' || word == "-") {
      request.paths.push_back(word);
    } else if (word == "--") {
      optionsEnded = true;
    } else if (word == "--help" || word == "-h") {
      return Request{.action = Action::Help};
    } else if (word == "--version") {
      return Request{.action = Action::Version};
    } else if (word == "--signatures") {
      return Request{.action = Action::Signatures};
    } else if (word == "--scan") {
      scan = true;
    } else if (word == "--update" || word == "--rollback") {
      if (request.action != Action::Window) return failure("--update et --rollback s'emploient seuls");
      request.action = word == "--update" ? Action::Update : Action::Rollback;
      if (word == "--update" && !words.done() && !words.peek().starts_with("-")) request.source = words.take();
    } else if (word == "--watch") {
      watch = true;
    } else if (word == "--repair") {
      request.repair = true;
    } else if (word == "--settings") {
      request.settings = true;
    } else if (word == "--page" || word.starts_with("--page=")) {
      if (word == "--page" && words.done()) return failure("l'option --page demande un num\u00E9ro de page");
      const std::string value = word == "--page" ? words.take() : word.substr(7);
      request.page = pageNumber(value);
      if (!request.page) return failure("num\u00E9ro de page invalide " + quoted(value) + " (de 0 \u00E0 4)");
    } else if (const auto format = optionValue(word, "--format", words)) {
      if (*format != "text" && *format != "json")
        return failure("format inconnu " + quoted(*format) + " (text ou json)");
      request.format = *format == "json" ? Format::Json : Format::Text;
    } else if (const auto pattern = optionValue(word, "--exclude", words)) {
      if (pattern->empty()) return failure("l'option --exclude demande un motif");
      request.excludes.push_back(*pattern);
    } else if (const auto file = optionValue(word, "--exclude-from", words)) {
      if (file->empty()) return failure("l'option --exclude-from demande un fichier");
      request.excludeFiles.push_back(*file);
    } else if (const auto jobs = optionValue(word, "--jobs", words)) {
      request.jobs = jobCount(*jobs);
      if (request.jobs == 0) return failure("nombre de t\u00E2ches invalide " + quoted(*jobs) + " (de 1 \u00E0 256)");
    } else if (word == "--quiet" || word == "-q") {
      request.quiet = true;
    } else if (word == "--all-drives") {
      request.allDrives = true;
    } else {
      return failure("option inconnue " + quoted(word) + " (voir " + kProgram + " --help)");
    }
  }
  return watch ? checkedWatch(std::move(request), scan) : checked(std::move(request), scan);
}

std::optional<std::string> firstPathProblem(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const auto attributes = path.empty() ? std::nullopt : platform::fileAttributes(path);
    if (!attributes) return message(quoted(path) + " n'existe pas");
    // A link to a folder is a folder here: the root of a walk is opened through its links.
    if (!platform::isFolder(path, platform::Links::Followed)) return message(quoted(path) + " n'est pas un dossier");
    if (!platform::FolderHandle::open(path).valid()) return message(quoted(path) + " ne peut pas \u00EAtre ouvert");
  }
  return std::nullopt;
}

std::vector<std::string> absolutePaths(const std::vector<std::string>& paths) {
  std::vector<std::string> absolute;
  for (const std::string& path : paths) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    absolute.push_back(error ? path : full.lexically_normal().string());
  }
  return absolute;
}

std::string versionText() { return std::string(kProgram) + " " HALVIK_VERSION "\n"; }

std::string helpText() {
  return R"(Usage : orvento-halvik [DOSSIER...]
        orvento-halvik --page N | --settings
        orvento-halvik --scan CHEMIN... | --all-drives [--repair] [--format text|json]
                       [--exclude MOTIF]... [--exclude-from FICHIER]... [--jobs N] [--quiet]
        orvento-halvik --watch DOSSIER... [--repair] [--format text|json]
        orvento-halvik --signatures
        orvento-halvik --update [SOURCE] | --rollback

Orvento Halvik cherche les adwares, spywares et chevaux de Troie d'après le nom de
leurs fichiers, les supprime et garde une copie en quarantaine si on le lui demande.

Sans argument, ouvre la fenêtre principale. Avec des DOSSIERs, l'ouvre sur la page de
scan et scanne aussitôt le premier ; chacun des suivants est scanné quand la fenêtre de
résultats du précédent se ferme.

Options :
  --scan CHEMIN...  scanne sans fenêtre (fichiers système ignorés, et sous Windows les
                    cachés ; noms en « . » compris ; liens jamais suivis, autres systèmes de
                    fichiers non parcourus ; un CHEMIN qui est un fichier est cherché
                    d'après son nom) ; chaque dossier illisible est nommé sur la sortie
                    d'erreur ; chaque objet trouvé
                    donne une ligne sur la sortie standard : le nom de la menace, une
                    tabulation, le chemin complet ; le résumé suit sur la sortie d'erreur
  --repair          avec --scan : supprime ensuite chaque objet trouvé, après une copie en
                    quarantaine si l'option de quarantaine est cochée ; une ligne par objet
                    dit ce qui a été fait
  --update [SOURCE] installe un jeu de signatures plus récent depuis SOURCE (adresse
                    http:// ou https://, adresse file:// ou dossier qui contient
                    signatures.ini et signatures.ini.minisig ; par défaut le flux
                    enregistré), s'il est signé par une clé de confiance
  --rollback        revient au jeu de signatures précédent du dossier du jeu en service
  --format FORMAT   avec --scan ou --watch : « text » (par défaut) ou « json », un objet
                    JSON par ligne sur la sortie standard, le résumé en dernier (voir le
                    manuel)
  --exclude MOTIF   avec --scan : ne parcourt pas ce qui correspond au MOTIF ; un motif
                    avec une barre oblique porte sur le chemin complet, sans elle sur le nom
                    à toute profondeur ; * et ? ne franchissent pas /, ** les franchit
  --exclude-from FICHIER
                    avec --scan : un motif par ligne (lignes vides et « # » ignorées)
  --jobs N          avec --scan : N fils de parcours (de 1 à 256) ; par défaut un par
                    cœur, et jusqu'à quatre par cœur tant que le disque fait attendre
  --all-drives      avec --scan, sans chemin : scanne tous les lecteurs, comme la fenêtre
  -q, --quiet       avec --scan : écrit les objets trouvés et rien d'autre (ni résumé,
                    ni ligne de progression sur un terminal)
  --watch DOSSIER...
                    surveille les dossiers et leurs sous-dossiers jusqu'à SIGINT ou
                    SIGTERM : chaque objet malicieux qui y apparaît (créé ou renommé)
                    donne une ligne comme avec --scan ; avec --repair il est aussitôt
                    supprimé comme avec --scan --repair ; les fichiers ignorés ou
                    restaurés de la quarantaine sont laissés tels quels ; avec --format
                    json, le résumé suit l'arrêt
  --page N          ouvre la fenêtre sur la page N : 0 Status, 1 Scan, 2 Moniteur,
                    3 Aide, 4 Quarantaine
  --settings        ouvre la fenêtre avec la boîte de configuration
  --signatures      affiche les signatures en usage (version, date, nombre de noms, dossier
                    d'origine) et les autres ensembles trouvés, valides ou refusés et pourquoi
  -h, --help        affiche cette aide et quitte
  --version         affiche la version et quitte
  --                la suite est faite de chemins, même s'ils commencent par « - »

Dans les lignes écrites, la barre oblique inverse, la tabulation, le saut de ligne et
les autres caractères de contrôle s'écrivent \\, \t, \n et \xHH.

État de sortie :
  0  rien de malicieux n'a été trouvé
  1  au moins un objet malicieux a été trouvé
  2  erreur d'utilisation ou d'exécution ; rien n'est scanné ni modifié
Avec --update et --rollback : 0 jeu installé ou déjà à jour, 2 refus ou source
injoignable (la raison est écrite sur la sortie d'erreur).
)";
}

}  // namespace halvik::app
