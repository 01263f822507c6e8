#pragma once
// Two pages that load more as their end comes into view, at /scroll (a scroll event
// listener) and /observe (an IntersectionObserver on an element after the list). Items are
// 100 px high; ten come with the page and ten more each time, 100 ms later, up to `items`.
#include <string>

#include "tests/support/local_http_server.h"

namespace tolvarine::testing {

inline void ServeGrowingPages(LocalHttpServer& server, int items) {
  const std::string more =
      "<script>var n = 0, list = document.getElementById('list');"
      "function more() { for (var i = 0; i < 10 && n < " + std::to_string(items) + "; ++i) {"
      "  var p = document.createElement('p'); p.style.height = '100px';"
      "  p.textContent = 'item ' + (n++); list.appendChild(p); } }"
      "more();";
  server.Page("/scroll", "<body><div id='list'></div>" + more +
                             "window.addEventListener('scroll', function () {"
                             "  if (innerHeight + scrollY >= document.body.scrollHeight - 50)"
                             "    setTimeout(more, 100); });</script>");
  server.Page("/observe", "<body><div id='list'></div><div id='end'>.</div>" + more +
                              "new IntersectionObserver(function (es) {"
                              "  if (es[0].isIntersecting) setTimeout(more, 100);"
                              "}).observe(document.getElementById('end'));</script>");
}

}  // namespace tolvarine::testing
