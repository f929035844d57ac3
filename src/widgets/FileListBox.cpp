#include "widgets/FileListBox.h"

#include "platform/Platform.h"
#include "widgets/DisplayText.h"

namespace halvik::widgets {

namespace {
constexpr int kNameRole = Qt::UserRole;
constexpr std::uint32_t kNotFiles = platform::kFolder | platform::kSystem | platform::kReparsePoint;
}  // namespace

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) { setSortingEnabled(true); }

void FileListBox::setPath(const std::string& path) {
  m_path = path;
  Refresh();
}

void FileListBox::setPattern(const std::string& pattern) {
  m_pattern = pattern;
  Refresh();
}

void FileListBox::Refresh() {
  clear();
  if (m_path.empty()) return;
  const auto listing = platform::listFolder(m_path, m_pattern, platform::kHidden);
  if (!listing) return;
  for (const platform::DirEntry& entry : *listing) {
    if (entry.attributes & kNotFiles) continue;
    auto* item = new QListWidgetItem(widgets::displayText(entry.name), this);
    item->setData(kNameRole, QByteArray::fromStdString(entry.name));
  }
}

std::string FileListBox::fileName(int row) const {
  const QListWidgetItem* entry = item(row);
  return entry ? entry->data(kNameRole).toByteArray().toStdString() : std::string();
}

}  // namespace halvik::widgets
