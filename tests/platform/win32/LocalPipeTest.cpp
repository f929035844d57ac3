// The pipe of the user's session: one server per name, a client reaches it only when it is the
// running user's own expected program, requests of any length arrive whole, and the name is
// free again once its server is gone.
#include "platform/LocalPipe.h"
#include "platform/Platform.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

namespace halvik::platform {

namespace {

// A name no other run of the tests uses.
std::string uniqueName(const testing_support::TempFolder& folder) {
  return std::filesystem::path(folder.path()).filename().string();
}

std::string ownImage() { return processInfo(currentProcessId())->imagePath; }

// A server answering "1" to every request of `length` bytes, on a thread of its own; what it
// last received is kept.
class Served {
 public:
  Served(const std::string& name, std::size_t length) : m_server(PipeServer::create(name)) {
    m_thread = std::thread([this, length] {
      while (m_server.serveOne(
          [this, length](std::string_view bytes) -> std::optional<std::string> {
            if (bytes.size() < length) return std::nullopt;
            m_received = std::string(bytes);
            ++m_requests;
            return "1";
          },
          30000)) {
      }
    });
  }
  ~Served() {
    m_server.stop();
    m_thread.join();
  }

  const PipeServer& server() const { return m_server; }
  int requests() const { return m_requests; }
  std::string received() const { return m_received; }

 private:
  PipeServer m_server;
  std::thread m_thread;
  std::atomic<int> m_requests = 0;
  std::string m_received;
};

TEST(LocalPipe, OneServerPerNameAndItsOwnProgramReachesItWithARequestOfAnyLength) {
  testing_support::TempFolder unique;
  const std::string name = uniqueName(unique);
  const std::string request(100000, 'x');
  Served served(name, request.size());
  ASSERT_TRUE(served.server().valid());

  Status failure;
  EXPECT_FALSE(PipeServer::create(name, &failure).valid());
  EXPECT_EQ(failure.code(), kLockHeldElsewhere) << failure.text();

  for (int call = 0; call < 2; ++call) {
    char answer = 0;
    const Status status = callPipe(name, ownImage(), request, answer, 30000);
    ASSERT_TRUE(status.ok()) << status.text();
    EXPECT_EQ(answer, '1');
  }
  EXPECT_EQ(served.requests(), 2);
  EXPECT_EQ(served.received(), request);
}

// A server that is not the expected program never receives a request; once the server is gone,
// no one has the name and it may be served again.
TEST(LocalPipe, OnlyTheExpectedProgramIsReachedAndAGoneServerFreesTheName) {
  testing_support::TempFolder unique;
  const std::string name = uniqueName(unique);
  char answer = 0;
  {
    Served served(name, 1);
    EXPECT_EQ(callPipe(name, unique.path() + "\\orvento-halvik.exe", "x", answer, 30000).code(), kPermissionDenied);
    EXPECT_EQ(served.requests(), 0);
  }
  EXPECT_EQ(callPipe(name, ownImage(), "x", answer, 30000).code(), kNotFound);
  EXPECT_TRUE(Served(name, 1).server().valid());
}

}  // namespace

}  // namespace halvik::platform
