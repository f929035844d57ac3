#pragma once

#include "app/Handover.h"
#include "platform/Platform.h"

#include <QObject>

#ifdef _WIN32
#include "platform/LocalPipe.h"

#include <thread>
#else
class QLocalServer;
class QLocalSocket;
#endif

namespace halvik::app {

// One main window per user and program folder. On Linux the first start holds a lock in the
// user's runtime folder and listens on a local socket beside it; a later start hands its request
// to it and ends. A socket left by a killed first copy is stale (its lock went with it): the next
// first start replaces it. On Windows the first start serves a pipe of the user's session, which
// goes with its process.
class SingleWindow : public QObject {
  Q_OBJECT

 public:
  SingleWindow();
  ~SingleWindow() override;

  // Hands `handover` to the running window. False when this start is the first (it then holds
  // the lock and listens), or when no running window could be reached.
  bool handOver(const Handover& handover);

 signals:
  // A later start's request, for the running window to act on.
  void received(const app::Handover& handover);

 private:
#ifdef _WIN32
  void serve();

  std::string m_name;
  platform::PipeServer m_server;
  std::thread m_serving;
#else
  bool sendTo(QLocalSocket& socket, const Handover& handover);
  void listen();
  void accept();

  std::string m_name;
  platform::FileLock m_lock;
  QLocalServer* m_server = nullptr;
#endif
};

}  // namespace halvik::app
