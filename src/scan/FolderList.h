#pragma once

#include <QListWidget>

#include <string>

namespace halvik::scan {

// A folder list: the folders from the root down to the open folder, then the open folder's
// subfolders. A click only highlights an entry; a double click or Enter opens it. The list's
// value is the folder it has open, kept as raw bytes.
class FolderList : public QListWidget {
  Q_OBJECT

 public:
  explicit FolderList(QWidget* parent = nullptr);

  const std::string& Path() const { return m_path; }
  // Opens `path`; false, with the list left as it was, when the folder cannot be listed.
  bool setPath(const std::string& path);

 private:
  void addFolder(const QString& caption, const std::string& path, int depth, bool open);

  std::string m_path;
};

}  // namespace halvik::scan
