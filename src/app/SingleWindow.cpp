#include "app/SingleWindow.h"

#include "core/Locations.h"
#include "platform/Environment.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <iostream>

namespace halvik::app {

namespace {
// How long a later start tries to reach a first one that holds the lock but may still be
// starting, and how long the first waits for a request to arrive whole.
constexpr int kReachMs = 5000;
constexpr int kRequestMs = 5000;
constexpr char kAccepted = '1';

QString nameOf(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

SingleWindow::SingleWindow()
    : m_name(instanceServerName(core::runtimeFolder(), platform::environment().programFolder)) {}

SingleWindow::~SingleWindow() = default;

bool SingleWindow::handOver(const Handover& handover) {
  const QDeadlineTimer deadline(kReachMs);
  while (true) {
    m_lock = platform::FileLock::tryTake(core::runtimeFile(m_name.substr(m_name.rfind('/') + 1) + ".lock"));
    if (m_lock.held()) {
      listen();
      return false;
    }
    QLocalSocket socket;
    socket.connectToServer(nameOf(m_name));
    if (socket.waitForConnected(static_cast<int>(deadline.remainingTime())) && sendTo(socket, handover)) return true;
    if (deadline.hasExpired()) break;
    QThread::msleep(50);  // the first copy holds the lock but is not listening yet
  }
  std::cerr << "orvento-halvik : la fenêtre déjà ouverte ne répond pas ; une autre fenêtre s'ouvre.\n";
  return false;
}

bool SingleWindow::sendTo(QLocalSocket& socket, const Handover& handover) {
  const std::string frame = encode(handover);
  socket.write(frame.data(), static_cast<qint64>(frame.size()));
  if (!socket.waitForBytesWritten(kRequestMs) && socket.bytesToWrite() > 0) return false;
  while (socket.bytesAvailable() == 0)
    if (!socket.waitForReadyRead(kRequestMs)) return false;
  char answer = 0;
  return socket.getChar(&answer) && answer == kAccepted;
}

void SingleWindow::listen() {
  m_server = new QLocalServer(this);
  m_server->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(nameOf(m_name));  // stale: whoever made it no longer holds the lock
  if (!m_server->listen(nameOf(m_name))) {
    std::cerr << "orvento-halvik : " << m_server->errorString().toStdString() << '\n';
    return;
  }
  connect(m_server, &QLocalServer::newConnection, this, &SingleWindow::accept);
}

// Reads one request per connection; a connection that sends no whole frame in time, or
// anything but a frame, is dropped.
void SingleWindow::accept() {
  while (QLocalSocket* socket = m_server->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(kRequestMs, socket, [socket] { socket->abort(); });
    auto buffer = std::make_shared<std::string>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
      const QByteArray bytes = socket->readAll();
      buffer->append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
      const Decoded decoded = decode(*buffer);
      if (decoded.state == Decoded::State::Incomplete) return;
      if (decoded.state == Decoded::State::Complete) {
        socket->putChar(kAccepted);
        socket->flush();
        emit received(decoded.handover);
      }
      socket->disconnectFromServer();
    });
  }
}

}  // namespace halvik::app
