#pragma once
// A sitemap file (sitemaps.org) read as a stream: the page addresses of a <urlset> and the
// sitemap addresses of a <sitemapindex>, plain XML or gzip.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tolvarine {

struct SitemapLimits {
  std::size_t maxAddresses = 50000;          // <loc> elements read from one file
  std::size_t maxBytes = 50 * 1024 * 1024;  // bytes of XML read from one file (unpacked)
};

struct SitemapContents {
  std::vector<std::string> pages;     // <url><loc>, as written (UTF-8), blanks trimmed
  std::vector<std::string> sitemaps;  // <sitemap><loc> of an index
  bool cut = false;                   // a limit was reached: what came before it is kept
  bool broken = false;                // no XML, or a damaged gzip stream: what came before
};

// Reads a sitemap's bytes: gzip when they start with its magic number, else XML. Element
// names are matched without their namespace prefix; external entities are never loaded.
SitemapContents ReadSitemap(std::string_view bytes, const SitemapLimits& limits = {});

}  // namespace tolvarine
