#include "engine/sitemap_reader.h"

#include <expat.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <memory>

namespace tolvarine {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

// The element's name without its namespace ("sm:loc" and "loc" alike).
std::string_view LocalName(const XML_Char* name) {
  const std::string_view full(name);
  const std::size_t colon = full.rfind(':');
  return colon == std::string_view::npos ? full : full.substr(colon + 1);
}

std::string Trimmed(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string_view::npos) return {};
  return std::string(text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1));
}

// Collects the <loc> texts as expat reports the document.
class LocCollector {
 public:
  LocCollector(XML_Parser parser, const SitemapLimits& limits, SitemapContents& contents)
      : parser_(parser), limits_(limits), contents_(contents) {
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, &LocCollector::Start, &LocCollector::End);
    XML_SetCharacterDataHandler(parser, &LocCollector::Text);
  }
  // Feeds XML; false once the parse has ended (a limit, or no XML).
  bool Feed(std::string_view xml, bool last) {
    read_ += xml.size();
    if (read_ > limits_.maxBytes) {
      xml.remove_suffix(read_ - limits_.maxBytes);
      contents_.cut = true;
      last = true;
    }
    const XML_Status status =
        XML_Parse(parser_, xml.data(), static_cast<int>(xml.size()), last ? XML_TRUE : XML_FALSE);
    if (status == XML_STATUS_ERROR && !stopped_) contents_.broken = true;
    return status == XML_STATUS_OK && !last;
  }

 private:
  static void Start(void* self, const XML_Char* name, const XML_Char** /*attributes*/) {
    auto& c = *static_cast<LocCollector*>(self);
    const std::string_view local = LocalName(name);
    if (local == "loc") {
      c.inLoc_ = true;
      c.loc_.clear();
    } else {
      c.parent_ = local;
    }
  }
  static void End(void* self, const XML_Char* name) {
    auto& c = *static_cast<LocCollector*>(self);
    if (!c.inLoc_ || LocalName(name) != "loc") return;
    c.inLoc_ = false;
    std::string loc = Trimmed(c.loc_);
    if (loc.empty()) return;
    if (c.parent_ == "url")
      c.contents_.pages.push_back(std::move(loc));
    else if (c.parent_ == "sitemap")
      c.contents_.sitemaps.push_back(std::move(loc));
    else
      return;
    if (c.contents_.pages.size() + c.contents_.sitemaps.size() >= c.limits_.maxAddresses) {
      c.contents_.cut = true;
      c.stopped_ = true;
      XML_StopParser(c.parser_, XML_FALSE);
    }
  }
  static void Text(void* self, const XML_Char* text, int length) {
    auto& c = *static_cast<LocCollector*>(self);
    if (c.inLoc_ && c.loc_.size() < 8192) c.loc_.append(text, static_cast<std::size_t>(length));
  }

  XML_Parser parser_;
  const SitemapLimits& limits_;
  SitemapContents& contents_;
  std::size_t read_ = 0;
  bool inLoc_ = false;
  bool stopped_ = false;
  std::string parent_;
  std::string loc_;
};

// Unpacks gzip into the collector a chunk at a time.
void FeedGzip(std::string_view bytes, LocCollector& collector, SitemapContents& contents) {
  z_stream stream{};
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
    contents.broken = true;
    return;
  }
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  std::array<char, kChunk> out{};
  for (;;) {
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&stream, Z_NO_FLUSH);
    const std::size_t got = out.size() - stream.avail_out;
    if (rc != Z_OK && rc != Z_STREAM_END) {
      collector.Feed(std::string_view(out.data(), got), true);
      contents.broken = true;
      break;
    }
    const bool last = rc == Z_STREAM_END;
    if (!collector.Feed(std::string_view(out.data(), got), last)) break;
  }
  inflateEnd(&stream);
}

}  // namespace

SitemapContents ReadSitemap(std::string_view bytes, const SitemapLimits& limits) {
  SitemapContents contents;
  const std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(
      XML_ParserCreate(nullptr), XML_ParserFree);
  if (!parser) {
    contents.broken = true;
    return contents;
  }
  LocCollector collector(parser.get(), limits, contents);
  if (bytes.starts_with("\x1f\x8b")) {
    FeedGzip(bytes, collector, contents);
    return contents;
  }
  while (collector.Feed(bytes.substr(0, kChunk), bytes.size() <= kChunk))
    bytes.remove_prefix(kChunk);
  return contents;
}

}  // namespace tolvarine
