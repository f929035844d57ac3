#pragma once

#include <QListWidget>

#include <string>

namespace halvik::widgets {

// A file list box: the files of one folder that match a wildcard pattern (folders, links and
// system entries left out), one name per row, the raw bytes of each name kept as item data.
// It shows what was there at its last refresh.
class FileListBox : public QListWidget {
 public:
  explicit FileListBox(QWidget* parent = nullptr);

  const std::string& Path() const { return m_path; }
  const std::string& Pattern() const { return m_pattern; }
  // Points the list at `path` and lists it; a folder that cannot be listed gives no rows.
  void setPath(const std::string& path);
  void setPattern(const std::string& pattern);
  // Lists the folder again.
  void Refresh();

  // The raw bytes of the name in `row`.
  std::string fileName(int row) const;

 private:
  std::string m_path;
  std::string m_pattern = "*.*";
};

}  // namespace halvik::widgets
