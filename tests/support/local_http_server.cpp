#include "tests/support/local_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace tolvarine::testing {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxConnections = 256;
constexpr std::size_t kMaxRequestBytes = 1 << 20;

void SetNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK); }

const char* Reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 404: return "Not Found";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
  }
}

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Parses the request head (up to the blank line); false when it is malformed.
bool ParseHead(const std::string& head, HttpRequestRecord& request) {
  std::size_t lineEnd = head.find("\r\n");
  const std::string requestLine = head.substr(0, lineEnd);
  const auto space1 = requestLine.find(' ');
  const auto space2 = requestLine.find(' ', space1 == std::string::npos ? 0 : space1 + 1);
  if (space1 == std::string::npos || space2 == std::string::npos) return false;
  request.method = requestLine.substr(0, space1);
  request.target = requestLine.substr(space1 + 1, space2 - space1 - 1);
  while (lineEnd != std::string::npos && lineEnd + 2 < head.size()) {
    const std::size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    const std::string line = head.substr(start, lineEnd == std::string::npos ? std::string::npos
                                                                             : lineEnd - start);
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    request.headers[Lowered(line.substr(0, colon))] = Trimmed(line.substr(colon + 1));
  }
  return true;
}

}  // namespace

struct LocalHttpServer::Connection {
  int fd = -1;
  std::string in;
  std::string out;
  std::size_t sent = 0;
  bool answered = false;   // the request has been read and dealt with
  bool closeWhenSent = false;
  bool delayed = false;
  Clock::time_point due;
  HttpResponse pending;
};

LocalHttpServer::LocalHttpServer() {
  listenFd_ = socket(AF_INET, SOCK_STREAM, 0);
  if (listenFd_ < 0) throw std::runtime_error("socket failed");
  int one = 1;
  setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listenFd_, 64) != 0 ||
      getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(listenFd_);
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  SetNonBlocking(listenFd_);
  if (pipe(wakeFds_) != 0) {
    close(listenFd_);
    throw std::runtime_error("pipe failed");
  }
  thread_ = std::thread([this] { Serve(); });
}

LocalHttpServer::~LocalHttpServer() {
  const char stop = 'x';
  [[maybe_unused]] auto written = write(wakeFds_[1], &stop, 1);
  thread_.join();
  for (auto& c : connections_) close(c->fd);
  close(listenFd_);
  close(wakeFds_[0]);
  close(wakeFds_[1]);
}

int LocalHttpServer::RefusingPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    port = ntohs(address.sin_port);
  if (fd >= 0) close(fd);
  if (port == 0) throw std::runtime_error("no free port on 127.0.0.1");
  return port;
}

std::string LocalHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LocalHttpServer::Route(const std::string& target, HttpResponse response) {
  std::lock_guard lock(mutex_);
  routes_[target] = std::move(response);
}

void LocalHttpServer::Page(const std::string& target, const std::string& html) {
  HttpResponse response;
  response.body = html;
  Route(target, std::move(response));
}

void LocalHttpServer::Redirect(const std::string& target, const std::string& location,
                               int status) {
  HttpResponse response;
  response.status = status;
  response.headers.emplace_back("Location", location);
  response.body = "<html><body>Moved</body></html>";
  Route(target, std::move(response));
}

void LocalHttpServer::Hang(const std::string& target) {
  HttpResponse response;
  response.mode = HttpResponse::Mode::Hang;
  Route(target, std::move(response));
}

void LocalHttpServer::Stall(const std::string& target, const std::string& html) {
  HttpResponse response;
  response.mode = HttpResponse::Mode::StallBody;
  response.body = html;
  response.stallAfter = html.size() / 2;
  Route(target, std::move(response));
}

std::vector<HttpRequestRecord> LocalHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

int LocalHttpServer::RequestCount(const std::string& target) const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count_if(requests_.begin(), requests_.end(),
                                        [&](const auto& r) { return r.target == target; }));
}

int LocalHttpServer::OpenConnections() const {
  std::lock_guard lock(mutex_);
  return openConnections_;
}

std::string LocalHttpServer::RouteKey(const HttpRequestRecord& request) {
  // A browser using the server as its proxy asks for the whole address.
  constexpr std::string_view kScheme = "http://";
  if (request.target.starts_with(kScheme)) {
    const std::size_t slash = request.target.find('/', kScheme.size());
    const std::string authority = request.target.substr(kScheme.size(), slash - kScheme.size());
    const std::string path = slash == std::string::npos ? "/" : request.target.substr(slash);
    return authority.substr(0, authority.rfind(':')) + path;
  }
  const auto host = request.headers.find("host");
  if (host == request.headers.end()) return request.target;
  const std::string name = host->second.substr(0, host->second.rfind(':'));
  if (name == "127.0.0.1" || name == "localhost") return request.target;
  return name + request.target;
}

int LocalHttpServer::HostRequestCount(const std::string& hostTarget) const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count_if(requests_.begin(), requests_.end(),
                                        [&](const auto& r) { return RouteKey(r) == hostTarget; }));
}

HttpResponse LocalHttpServer::Lookup(const std::string& target) const {
  std::lock_guard lock(mutex_);
  auto it = routes_.find(target);
  if (it == routes_.end()) it = routes_.find(target.substr(0, target.find('?')));
  if (it != routes_.end()) return it->second;
  HttpResponse notFound;
  notFound.status = 404;
  notFound.contentType = "text/plain";
  notFound.body = "Not found";
  return notFound;
}

void LocalHttpServer::Serve() {
  for (;;) {
    std::vector<pollfd> fds;
    fds.push_back({wakeFds_[0], POLLIN, 0});
    fds.push_back({listenFd_, POLLIN, 0});
    int timeoutMs = -1;
    const auto now = Clock::now();
    for (auto& c : connections_) {
      short events = POLLIN;
      if (c->sent < c->out.size()) events |= POLLOUT;
      fds.push_back({c->fd, events, 0});
      if (c->delayed) {
        const auto wait =
            std::chrono::duration_cast<std::chrono::milliseconds>(c->due - now).count();
        const int ms = static_cast<int>(std::max<long long>(0, wait) + 1);
        timeoutMs = timeoutMs < 0 ? ms : std::min(timeoutMs, ms);
      }
    }
    if (poll(fds.data(), fds.size(), timeoutMs) < 0 && errno != EINTR) return;
    if (fds[0].revents) return;  // asked to stop

    if (fds[1].revents & POLLIN) {
      for (;;) {
        const int fd = accept(listenFd_, nullptr, nullptr);
        if (fd < 0) break;
        if (connections_.size() >= kMaxConnections) {
          close(fd);
          continue;
        }
        SetNonBlocking(fd);
        auto c = std::make_unique<Connection>();
        c->fd = fd;
        connections_.push_back(std::move(c));
      }
    }

    // Connections accepted just now have no poll entry yet; they are polled next round.
    std::vector<Connection*> finished;
    for (std::size_t i = 2; i < fds.size(); ++i) {
      Connection& c = *connections_[i - 2];
      bool keep = true;
      if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) keep = ReadFrom(c);
      if (keep && c.delayed && Clock::now() >= c.due) {
        c.delayed = false;
        c.pending.delayMs = 0;
        Respond(c);
      }
      if (keep && c.sent < c.out.size()) keep = WriteTo(c);
      if (keep && c.closeWhenSent && c.sent == c.out.size()) keep = false;
      if (!keep) finished.push_back(&c);
    }
    for (Connection* c : finished) {
      close(c->fd);
      std::erase_if(connections_, [c](const auto& p) { return p.get() == c; });
    }
    std::lock_guard lock(mutex_);
    openConnections_ = static_cast<int>(connections_.size());
  }
}

// Reads what arrived; false when the peer closed or the request is unusable.
bool LocalHttpServer::ReadFrom(Connection& c) {
  char buffer[16384];
  for (;;) {
    const ssize_t n = recv(c.fd, buffer, sizeof buffer, 0);
    if (n == 0) return false;
    if (n < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK) break;
      if (errno == EINTR) continue;
      return false;
    }
    if (!c.answered) c.in.append(buffer, static_cast<std::size_t>(n));
  }
  if (c.answered) return true;
  const auto headEnd = c.in.find("\r\n\r\n");
  if (headEnd == std::string::npos) return c.in.size() <= kMaxRequestBytes;

  HttpRequestRecord request;
  if (!ParseHead(c.in.substr(0, headEnd + 2), request)) return false;
  // A request body (rare here) is not needed to answer; the connection closes after.
  c.answered = true;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
  }
  c.pending = Lookup(RouteKey(request));
  if (request.method == "HEAD") c.pending.body.clear();
  if (c.pending.mode == HttpResponse::Mode::Answer && c.pending.delayMs > 0) {
    c.delayed = true;
    c.due = Clock::now() + std::chrono::milliseconds(c.pending.delayMs);
    return true;
  }
  Respond(c);
  return true;
}

void LocalHttpServer::Respond(Connection& c) {
  const HttpResponse& r = c.pending;
  if (r.mode == HttpResponse::Mode::Hang) return;
  std::string head = "HTTP/1.1 " + std::to_string(r.status) + " " + Reason(r.status) + "\r\n";
  if (!r.contentType.empty()) head += "Content-Type: " + r.contentType + "\r\n";
  head += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
  for (const auto& [name, value] : r.headers) head += name + ": " + value + "\r\n";
  head += "Connection: close\r\n\r\n";
  if (r.mode == HttpResponse::Mode::StallBody) {
    c.out = head + r.body.substr(0, std::min(r.stallAfter, r.body.size()));
    return;
  }
  c.out = head + r.body;
  c.closeWhenSent = true;
}

bool LocalHttpServer::WriteTo(Connection& c) {
  while (c.sent < c.out.size()) {
    const ssize_t n = send(c.fd, c.out.data() + c.sent, c.out.size() - c.sent, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK) return true;
      if (errno == EINTR) continue;
      return false;
    }
    c.sent += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace tolvarine::testing
