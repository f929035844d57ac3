#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace halvik::quarantine {

// The common save dialog: asks for the full path of a file to write, proposing a file name or
// a full path, and asks before a chosen file that exists is replaced (answering no shows the
// dialog again). Paths come back as raw bytes. When the user keeps the proposed path or name,
// its raw bytes are used, so a name that is not valid text in the system's encoding survives
// the dialog.
class SaveDialog : public QObject {
  Q_OBJECT

 public:
  explicit SaveDialog(QWidget* owner);

  QString DialogTitle() const { return m_title; }
  void setDialogTitle(const QString& title) { m_title = title; }

  // Shows the dialog proposing `fileName` (raw bytes; a name, or a full path that opens the
  // dialog in its folder): the chosen full path, or nullopt when the user cancels.
  std::optional<std::string> ShowSave(const std::string& fileName);

  // The two questions the dialog puts, as replaceable steps so that tests can answer them
  // without a window: the path picked in the file dialog (empty when cancelled), and whether an
  // existing file may be replaced. By default they show a file dialog and a message box.
  std::function<QString(const QString& title, const QString& proposedPath)> choosePath;
  std::function<bool(const QString& path)> confirmReplace;

 private:
  QWidget* m_owner;
  QString m_title;
};

}  // namespace halvik::quarantine
