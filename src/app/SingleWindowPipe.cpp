#include "app/SingleWindow.h"

#include "core/Locations.h"
#include "platform/Environment.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QThread>

#include <iostream>

namespace halvik::app {

namespace {
// How long a later start tries to reach the running window, and how long the window waits for
// a request to arrive whole.
constexpr int kReachMs = 5000;
constexpr int kRequestMs = 5000;
constexpr char kAccepted = '1';
}  // namespace

SingleWindow::SingleWindow()
    : m_name(instanceServerName(core::runtimeFolder(), platform::environment().programFolder)) {}

SingleWindow::~SingleWindow() {
  if (!m_serving.joinable()) return;
  m_server.stop();
  m_serving.join();
}

bool SingleWindow::handOver(const Handover& handover) {
  const QDeadlineTimer deadline(kReachMs);
  platform::Status failure;
  do {
    m_server = platform::PipeServer::create(m_name, &failure);
    if (m_server.valid()) {
      m_serving = std::thread([this] { serve(); });
      return false;
    }
    if (failure.code() != platform::kLockHeldElsewhere) break;
    char answer = 0;
    failure = platform::callPipe(m_name, core::programFile(core::kWindowProgram), encode(handover), answer,
                                 static_cast<int>(deadline.remainingTime()));
    if (failure.ok()) return answer == kAccepted;
    // Not found: the running window ended between the two calls, and this start may be the first.
    if (failure.code() != platform::kNotFound) break;
    QThread::yieldCurrentThread();
  } while (!deadline.hasExpired());
  if (failure.code() == platform::kPermissionDenied)
    std::cerr << "orvento-halvik : le canal de la fenêtre est tenu par un autre programme ; une autre fenêtre "
                 "s'ouvre.\n";
  else
    std::cerr << "orvento-halvik : la fenêtre déjà ouverte ne répond pas ; une autre fenêtre s'ouvre.\n";
  return false;
}

// Serves one request at a time until the window goes; a request that is not one of ours, or
// does not come whole in time, is dropped.
void SingleWindow::serve() {
  const platform::PipeAnswer answer = [this](std::string_view bytes) -> std::optional<std::string> {
    const Decoded decoded = decode(bytes);
    if (decoded.state == Decoded::State::Incomplete) return std::nullopt;
    if (decoded.state == Decoded::State::Malformed) return std::string();
    QMetaObject::invokeMethod(
        this, [this, handover = decoded.handover] { emit received(handover); }, Qt::QueuedConnection);
    return std::string(1, kAccepted);
  };
  while (m_server.serveOne(answer, kRequestMs)) {
  }
}

}  // namespace halvik::app
