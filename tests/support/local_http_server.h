#pragma once
// A small HTTP/1.1 server for tests: binds 127.0.0.1 on an ephemeral port and answers from
// a background thread (poll on non-blocking sockets) with the responses the test routed.
// Every response closes its connection. Besides plain answers it can hang (accept and never
// answer), stall (send the headers and part of the body, then nothing), or answer late.
// The destructor stops the thread, closes every connection and joins.
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tolvarine::testing {

struct HttpResponse {
  enum class Mode {
    Answer,       // the whole response at once (after delayMs when set)
    Hang,         // read the request, answer nothing
    StallBody,    // headers (with the full Content-Length) and stallAfter body bytes, then nothing
  };
  int status = 200;
  std::string contentType = "text/html; charset=utf-8";
  // Extra header lines, sent as given after Content-Type and Content-Length.
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  Mode mode = Mode::Answer;
  int delayMs = 0;
  std::size_t stallAfter = 0;
};

struct HttpRequestRecord {
  std::string method;
  std::string target;  // as sent: path and query
  // Header names lowered.
  std::map<std::string, std::string> headers;
};

class LocalHttpServer {
 public:
  LocalHttpServer();
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  int Port() const { return port_; }
  // A port of 127.0.0.1 that nothing listens on (bound once and let go): connections to it
  // are refused.
  static int RefusingPort();
  // "http://127.0.0.1:<port>" followed by path (which starts with "/").
  std::string Url(const std::string& path) const;

  // Routes a request target (the path, or the path with its query, which wins) to a
  // response. Targets without a route get 404 "Not found". Routes may change while serving.
  // A request for another host than 127.0.0.1 (a browser using this server as its proxy)
  // is routed by the host name and path: "www.example.com/page".
  void Route(const std::string& target, HttpResponse response);
  // An HTML page (UTF-8).
  void Page(const std::string& target, const std::string& html);
  // A redirect to location (an absolute URL or a path) with the given 3xx status.
  void Redirect(const std::string& target, const std::string& location, int status = 302);
  void Hang(const std::string& target);
  // Sends the headers of an HTML page and the first half of html, then stalls.
  void Stall(const std::string& target, const std::string& html);

  // Every request received so far, in arrival order.
  std::vector<HttpRequestRecord> Requests() const;
  int RequestCount(const std::string& target) const;
  // Requests routed to "host/target" (see Route).
  int HostRequestCount(const std::string& hostTarget) const;
  // The route a request takes: its target, with the host's name before it unless that is
  // 127.0.0.1 or localhost.
  static std::string RouteKey(const HttpRequestRecord& request);
  // Connections currently open (hanging and stalled ones included).
  int OpenConnections() const;

 private:
  struct Connection;
  void Serve();
  bool ReadFrom(Connection& c);
  void Respond(Connection& c);
  bool WriteTo(Connection& c);
  HttpResponse Lookup(const std::string& target) const;

  int listenFd_ = -1;
  int wakeFds_[2] = {-1, -1};
  int port_ = 0;
  mutable std::mutex mutex_;
  std::map<std::string, HttpResponse> routes_;
  std::vector<HttpRequestRecord> requests_;
  int openConnections_ = 0;
  std::vector<std::unique_ptr<Connection>> connections_;  // the serving thread's only
  std::thread thread_;
};

}  // namespace tolvarine::testing
