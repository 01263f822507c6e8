#include "tests/support/page_text.h"

#include <array>

namespace tolvarine::testing {

std::string TimedRowsPage(char tag) {
  return std::string(R"(<html><body><div id="rows"></div><script>
  var n = 0;
  function add() {
    n += 1;
    var p = document.createElement('p');
    p.textContent = '13)") + tag + R"(1234567' + n;
    document.getElementById('rows').appendChild(p);
    if (n < 8) setTimeout(add, 200);
  }
  setTimeout(add, 200);
</script></body></html>)";
}
namespace {

class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  std::uint32_t Below(std::uint32_t n) { return Next() % n; }

 private:
  std::uint32_t state_;
};

void AppendDigits(std::string& out, Random& r, int count) {
  for (int i = 0; i < count; ++i) out += static_cast<char>('0' + r.Below(10));
}

void AppendHanzi(std::string& out, Random& r, int count) {
  for (int i = 0; i < count; ++i) {
    out += static_cast<char>(0xB0 + r.Below(0xD7 - 0xB0 + 1));
    out += static_cast<char>(0xA1 + r.Below(0xFE - 0xA1 + 1));
  }
}

void AppendMobile(std::string& out, Random& r) {
  static constexpr std::array<const char*, 6> kHeads{"13", "15", "18", "17", "14", "19"};
  out += kHeads[r.Below(kHeads.size())];
  AppendDigits(out, r, 9);
}

void AppendLine(std::string& out, Random& r) {
  switch (r.Below(10)) {
    case 0:
    case 1:
    case 2:  // plain text with punctuation
      AppendHanzi(out, r, 8 + static_cast<int>(r.Below(30)));
      out += "\xA3\xAC";  // full-width comma
      AppendHanzi(out, r, 4 + static_cast<int>(r.Below(20)));
      break;
    case 3:  // a link
      out += "<li><a href=\"http://www.example";
      AppendDigits(out, r, 2);
      out += ".com/thread-";
      AppendDigits(out, r, 5 + static_cast<int>(r.Below(3)));
      out += "-1-1.html\" target=\"_blank\">";
      AppendHanzi(out, r, 6 + static_cast<int>(r.Below(10)));
      out += "</a></li>";
      break;
    case 4:  // a date and a price
      out += "<span class=\"date\">20";
      AppendDigits(out, r, 2);
      out += "\xC4\xEA";  // year
      AppendDigits(out, r, 1);
      out += "\xD4\xC2 ";  // month
      out += "</span><em>\xA3\xA4";  // yuan sign
      AppendDigits(out, r, 3);
      out += ".00</em>";
      break;
    case 5:  // contact line, usually with a mobile number
      out += "\xB5\xE7\xBB\xB0\xA3\xBA";  // telephone:
      if (r.Below(3) == 0) {
        out += "0";
        AppendDigits(out, r, 3);
        out += "-";
        AppendDigits(out, r, 8);
      } else {
        AppendMobile(out, r);
      }
      out += " \xCA\xD6\xBB\xFA ";  // mobile
      AppendHanzi(out, r, 3);
      break;
    case 6:  // a long id and a style
      out += "<div id=\"post_";
      AppendDigits(out, r, 6 + static_cast<int>(r.Below(10)));
      out += "\" style=\"width:";
      AppendDigits(out, r, 3);
      out += "px;height:";
      AppendDigits(out, r, 2);
      out += "px\">";
      break;
    default:  // markup without digits
      out += "<p class=\"content\">";
      AppendHanzi(out, r, 10 + static_cast<int>(r.Below(40)));
      out += "</p>";
      break;
  }
  out += "\r\n";
}

}  // namespace

std::string MakePageText(std::size_t bytes, std::uint32_t seed) {
  Random r(seed);
  std::string out;
  out.reserve(bytes + 256);
  while (out.size() < bytes) AppendLine(out, r);
  out.resize(bytes);
  return out;
}

std::string MakeDigitHeavyText(std::size_t bytes, std::uint32_t seed) {
  static constexpr char kAlphabet[] = "111113333555558888800912x- \r\n";
  Random r(seed);
  std::string out;
  out.reserve(bytes);
  while (out.size() < bytes) out += kAlphabet[r.Below(sizeof(kAlphabet) - 1)];
  return out;
}

}  // namespace tolvarine::testing
