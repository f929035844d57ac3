#include "scan/FolderList.h"

#include "platform/Platform.h"
#include "platform/SystemText.h"
#include "scan/DirPresenter.h"
#include "widgets/DisplayText.h"

#include <QStyle>

#include <algorithm>

namespace halvik::scan {

namespace {
constexpr int kPathRole = Qt::UserRole;

// The folders from the root down to `path` itself: "/a/b" gives "/", "/a", "/a/b" (on Windows
// "C:\a" gives "C:\", "C:\a").
std::vector<std::string> foldersDownTo(const std::string& path) {
  const std::size_t root = platform::rootLength(path);
  std::vector<std::string> folders{path.substr(0, root)};
  for (std::size_t end = path.find(platform::kSeparator, root);; end = path.find(platform::kSeparator, end + 1)) {
    const std::string folder = path.substr(0, end);
    if (folder.size() > root && folder != folders.back()) folders.push_back(folder);
    if (end == std::string::npos) break;
  }
  return folders;
}

// A folder's own name; a root is its own name.
std::string lastName(const std::string& folder) {
  const auto separator = folder.rfind(platform::kSeparator);
  return folder.size() <= platform::rootLength(folder) || separator == std::string::npos ? folder
                                                                                         : folder.substr(separator + 1);
}
}  // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    const QByteArray bytes = item->data(kPathRole).toByteArray();
    setPath(bytes.toStdString());
  });
}

bool FolderList::setPath(const std::string& path) {
  std::string folder = path;
  const std::size_t root = platform::rootLength(folder);
  while (folder.size() > std::max<std::size_t>(root, 1) && folder.back() == platform::kSeparator) folder.pop_back();
  const auto entries = platform::listFolder(folder, "*", platform::kFolder);
  if (root == 0 || !entries) return false;
  std::vector<std::string> subfolders;
  for (const auto& entry : *entries)
    if ((entry.attributes & platform::kFolder) && entry.name != "." && entry.name != "..")
      subfolders.push_back(entry.name);
  sortSubfolders(subfolders);

  m_path = folder;
  clear();
  const std::vector<std::string> openFolders = foldersDownTo(folder);
  for (std::size_t depth = 0; depth < openFolders.size(); ++depth)
    addFolder(widgets::displayText(lastName(openFolders[depth])), openFolders[depth], static_cast<int>(depth), true);
  const std::string prefix = folder.size() > root ? folder + platform::kSeparator : folder;
  for (const std::string& name : subfolders)
    addFolder(widgets::displayText(name), prefix + name, static_cast<int>(openFolders.size()), false);
  setCurrentRow(static_cast<int>(openFolders.size()) - 1);
  return true;
}

void FolderList::addFolder(const QString& caption, const std::string& path, int depth, bool open) {
  auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + caption, this);
  item->setIcon(style()->standardIcon(open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon));
  item->setData(kPathRole, QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

}  // namespace halvik::scan
