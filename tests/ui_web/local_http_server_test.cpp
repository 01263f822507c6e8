// The test server itself: routes, the 404 default, the request log, late answers, and a
// shutdown that does not wait for hanging or stalled connections.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "tests/support/local_http_server.h"

namespace tolvarine::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// A blocking client socket; reads give up after a generous guard instead of blocking a
// failing test for ever.
class Client {
 public:
  explicit Client(int port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    timeval guard{10, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &guard, sizeof guard);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~Client() { close(fd_); }

  bool Send(const std::string& bytes) {
    return connected_ && send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
                             static_cast<ssize_t>(bytes.size());
  }
  // Reads until the server closes; false when the guard ran out first.
  bool ReadToEnd(std::string& out) {
    char buffer[4096];
    for (;;) {
      const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
      if (n == 0) return true;
      if (n < 0) return false;
      out.append(buffer, static_cast<std::size_t>(n));
    }
  }
  // Reads until `count` bytes have arrived.
  bool ReadAtLeast(std::size_t count, std::string& out) {
    char buffer[4096];
    while (out.size() < count) {
      const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0) return false;
      out.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
  }

 private:
  int fd_;
  bool connected_ = false;
};

std::string Get(int port, const std::string& target, const std::string& extra = "") {
  Client client(port);
  std::string response;
  if (!client.Send("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extra + "\r\n") ||
      !client.ReadToEnd(response))
    return "(no answer)";
  return response;
}

TEST(LocalHttpServerTest, AnswersRoutesAndLogsRequests) {
  LocalHttpServer server;
  server.Page("/a", "<p>page a</p>");
  HttpResponse exact;
  exact.contentType = "text/plain";
  exact.body = "exact query";
  server.Route("/a?v=2", exact);
  server.Redirect("/old", "/a", 301);
  HttpResponse late;
  late.body = "late";
  late.delayMs = 50;
  server.Route("/late", late);

  const std::string a = Get(server.Port(), "/a", "X-Probe: One\r\n");
  EXPECT_THAT(a, StartsWith("HTTP/1.1 200 OK\r\n"));
  EXPECT_THAT(a, HasSubstr("Content-Type: text/html; charset=utf-8\r\n"));
  EXPECT_THAT(a, HasSubstr("Content-Length: 13\r\n"));
  EXPECT_THAT(a, HasSubstr("\r\n\r\n<p>page a</p>"));
  // A query falls back to the path's route unless it has one of its own.
  EXPECT_THAT(Get(server.Port(), "/a?v=1"), HasSubstr("page a"));
  EXPECT_THAT(Get(server.Port(), "/a?v=2"), HasSubstr("exact query"));
  const std::string old = Get(server.Port(), "/old");
  EXPECT_THAT(old, StartsWith("HTTP/1.1 301 Moved Permanently\r\n"));
  EXPECT_THAT(old, HasSubstr("Location: /a\r\n"));
  EXPECT_THAT(Get(server.Port(), "/nowhere"), StartsWith("HTTP/1.1 404 Not Found\r\n"));
  EXPECT_THAT(Get(server.Port(), "/late"), HasSubstr("\r\n\r\nlate"));

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 6u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].target, "/a");
  EXPECT_EQ(requests[0].headers.at("x-probe"), "One");
  EXPECT_EQ(server.RequestCount("/a?v=1"), 1);
  EXPECT_EQ(server.RequestCount("/a"), 1);
  EXPECT_EQ(server.Url("/x"), "http://127.0.0.1:" + std::to_string(server.Port()) + "/x");
}

TEST(LocalHttpServerTest, ShutsDownWithHangingAndStalledConnectionsOpen) {
  auto server = std::make_unique<LocalHttpServer>();
  server->Hang("/hang");
  server->Stall("/stall", std::string(100, 'h') + std::string(100, 't'));
  Client hanging(server->Port());
  Client stalled(server->Port());
  ASSERT_TRUE(hanging.Send("GET /hang HTTP/1.1\r\n\r\n"));
  ASSERT_TRUE(stalled.Send("GET /stall HTTP/1.1\r\n\r\n"));

  // The stalled answer: its head and the first half of its body, then nothing.
  std::string head;
  auto whole = [&] {
    const auto end = head.find("\r\n\r\n");
    return end != std::string::npos && head.size() >= end + 4 + 100;
  };
  while (!whole()) ASSERT_TRUE(stalled.ReadAtLeast(head.size() + 1, head));
  EXPECT_THAT(head, HasSubstr("Content-Length: 200\r\n"));
  EXPECT_EQ(head.substr(head.find("\r\n\r\n") + 4), std::string(100, 'h'));

  server.reset();  // returns although neither request was ever answered in full
  std::string after;
  EXPECT_TRUE(hanging.ReadToEnd(after));
  EXPECT_EQ(after, "");
  EXPECT_TRUE(stalled.ReadToEnd(after));
  EXPECT_EQ(after, "");
}

}  // namespace
}  // namespace tolvarine::testing
