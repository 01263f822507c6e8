#!/usr/bin/env python3
"""Twenty local sites of a hundred pages each, for the crawl's --jobs benchmark.

Serves on 127.0.0.1 as the browser's proxy: a request names its whole address (or its
host in the Host header). Site k is www.shopKK.com.cn; its page /p/N shows one number
and links to /p/N+1, /p/N+2 and the home page, so a crawl from the home page reaches all
hundred. robots.txt is missing (404: all allowed). Prints the port, then serves until
killed. SITE_LOG names a file that gets every request's host and path.
"""
import http.server
import os
import socketserver
import threading
import sys
from urllib.parse import urlsplit

PAGES = 100
# With SITE_LOG set, each request's host and path is appended to that file (one line each).
LOG = os.environ.get("SITE_LOG")
LOG_LOCK = threading.Lock()


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        parts = urlsplit(self.path)
        host = (parts.hostname or self.headers.get("Host", "").split(":")[0]).lower()
        path = parts.path or "/"
        if LOG:
            with LOG_LOCK, open(LOG, "a") as log:
                log.write(f"{host}{path}\n")
        if not host.startswith("www.shop") or not host.endswith(".com.cn"):
            return self.answer(404, "text/plain", "no such site")
        site = int(host[len("www.shop"):-len(".com.cn")])
        if path == "/":
            page = 0
        elif path.startswith("/p/") and path[3:].isdigit() and int(path[3:]) < PAGES:
            page = int(path[3:])
        else:
            return self.answer(404, "text/plain", "not found")
        links = "".join(f'<a href="/p/{n}">{n}</a> ' for n in (page + 1, page + 2) if n < PAGES)
        body = (f"<html><body><p>电话 138{site:02d}{page:06d}</p>{links}"
                f'<a href="/">home</a></body></html>')
        self.answer(200, "text/html; charset=utf-8", body)

    def answer(self, status, kind, text):
        data = text.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(data)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


if __name__ == "__main__":
    server = Server(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    sys.stdout.close()
    server.serve_forever()
