// Build-time tool: asks libphonenumber about every block of Chinese mobile numbers (the
// first seven digits, 1000000..1999999) and writes the answers as a C++ source, a table of
// places and the blocks as runs over it. The library takes about 15 us a number, far too
// slow for a scan; the table answers in nanoseconds and leaves the program free of it.
//
//   tolvarine_block_table_generator OUT.cpp CARRIER_DATA.py...
//
// Validity and the place come from libphonenumber (PhoneNumberUtil, the offline geocoder in
// Chinese). The carrier comes from libphonenumber's carrier data as python3-phonenumbers
// packages it (lines "'86PREFIX':{'en': ..., 'zh': u('\u...'), ...}"), longest prefix first;
// the C++ library has no carrier mapper.
#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumberutil.h>
#include <unicode/locid.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberOfflineGeocoder;
using i18n::phonenumbers::PhoneNumberUtil;

constexpr int kBlocks = 1000000;     // the blocks 1000000..1999999
constexpr int kMaxPlaces = 1 << 12;  // a run keeps its place in 12 bits

std::string Gbk(const icu::UnicodeString& text) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* gbk = ucnv_open("GBK", &status);
  if (U_FAILURE(status)) throw std::runtime_error("no GBK converter");
  std::string out(static_cast<std::size_t>(text.length()) * 2 + 8, '\0');
  const int32_t n = ucnv_fromUChars(gbk, out.data(), static_cast<int32_t>(out.size()),
                                    text.getBuffer(), text.length(), &status);
  ucnv_close(gbk);
  if (U_FAILURE(status)) throw std::runtime_error("text not in GBK");
  out.resize(static_cast<std::size_t>(n));
  return out;
}

// A Python string literal body with \uXXXX escapes, as text.
icu::UnicodeString FromEscaped(const std::string& body) {
  icu::UnicodeString text;
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\\' && i + 5 < body.size() && body[i + 1] == 'u') {
      text.append(static_cast<char16_t>(std::stoi(body.substr(i + 2, 4), nullptr, 16)));
      i += 5;
    } else {
      text.append(static_cast<char16_t>(static_cast<unsigned char>(body[i])));
    }
  }
  return text;
}

// Carrier names by national prefix (the digits after 86), in GBK: Chinese where the data
// has it, else English.
std::map<std::string, std::string> ReadCarriers(const std::vector<std::string>& files) {
  static const std::regex line(R"(^\s*'86(\d+)':\{(.*)\},?\s*$)");
  static const std::regex zh(R"('zh': (?:u\()?'([^']*)')");
  static const std::regex en(R"('en': (?:u\()?'([^']*)')");
  std::map<std::string, std::string> carriers;
  for (const std::string& file : files) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error("cannot read " + file);
    std::string text;
    std::smatch m, name;
    while (std::getline(in, text)) {
      if (!std::regex_match(text, m, line)) continue;
      const std::string fields = m[2];
      if (!std::regex_search(fields, name, zh) && !std::regex_search(fields, name, en)) continue;
      if (m[1].length() > 7) throw std::runtime_error("carrier prefix longer than a block");
      carriers[m[1]] = Gbk(FromEscaped(name[1]));
    }
  }
  if (carriers.empty()) throw std::runtime_error("no carrier data for 86");
  return carriers;
}

std::string CarrierOf(const std::map<std::string, std::string>& carriers, std::string digits) {
  for (; !digits.empty(); digits.pop_back())
    if (auto it = carriers.find(digits); it != carriers.end()) return it->second;
  return {};
}

struct Place {
  std::string province, city, carrier;
  auto operator<=>(const Place&) const = default;
};

// The geocoder's "江苏省连云港市" as province and city. A province's name ends in 省; the
// autonomous regions come by their short names (广西南宁市); what is left is a
// municipality, its own province and city (北京市, or 天津 written without 市). The
// country's own name is what the geocoder gives for a block it has no place for.
void SplitPlace(const icu::UnicodeString& text, const icu::UnicodeString& country, Place& place) {
  if (text.isEmpty() || text == country) return;
  icu::UnicodeString province, city;
  const int32_t sheng = text.indexOf(icu::UnicodeString(u"省"));
  static const char16_t* const kRegions[] = {u"内蒙古", u"广西", u"宁夏", u"新疆", u"西藏"};
  if (sheng >= 0) {
    province = text.tempSubString(0, sheng + 1);
    city = text.tempSubString(sheng + 1);
  } else {
    for (const char16_t* region : kRegions) {
      if (text.startsWith(icu::UnicodeString(region))) {
        province = icu::UnicodeString(region);
        city = text.tempSubString(province.length());
        break;
      }
    }
    if (province.isEmpty()) {
      province = text;
      if (!province.endsWith(icu::UnicodeString(u"市"))) province += u"市";
      city = province;
    }
  }
  place.province = Gbk(province);
  place.city = Gbk(city);
}

bool IsMobile(const PhoneNumberUtil& util, std::uint64_t national) {
  PhoneNumber number;
  number.set_country_code(86);
  number.set_national_number(national);
  const PhoneNumberUtil::PhoneNumberType type = util.GetNumberType(number);
  return type == PhoneNumberUtil::MOBILE || type == PhoneNumberUtil::FIXED_LINE_OR_MOBILE;
}

void WriteEscaped(std::FILE* out, const std::string& text) {
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\')
      std::fputc(c, out);
    else
      std::fprintf(out, "\\%03o", c);
  }
  std::fputs("\\000", out);
}

}  // namespace

int main(int argc, char** argv) try {
  if (argc < 3) {
    std::fputs("usage: tolvarine_block_table_generator OUT.cpp CARRIER_DATA.py...\n", stderr);
    return 2;
  }
  const auto carriers = ReadCarriers({argv + 2, argv + argc});
  const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
  const PhoneNumberOfflineGeocoder geocoder;
  const icu::Locale chinese("zh");
  icu::UnicodeString country;
  icu::Locale("", "CN").getDisplayCountry(chinese, country);

  std::map<Place, int> placeIndex;  // place 0 is an invalid number's
  std::vector<const Place*> places{nullptr};
  std::vector<std::uint32_t> runs;
  int last = -1;
  for (int block = 0; block < kBlocks; ++block) {
    const std::uint64_t first = (1000000ULL + static_cast<std::uint64_t>(block)) * 10000;
    const bool valid = IsMobile(util, first);
    // The table stands for every number of a block: prove it holds at both of its ends.
    if (IsMobile(util, first + 9999) != valid)
      throw std::runtime_error("validity changes inside block " + std::to_string(1000000 + block));
    int index = 0;
    if (valid) {
      PhoneNumber number;
      number.set_country_code(86);
      number.set_national_number(first);
      Place place;
      SplitPlace(icu::UnicodeString::fromUTF8(
                     geocoder.GetDescriptionForValidNumber(number, chinese)),
                 country, place);
      place.carrier = CarrierOf(carriers, std::to_string(1000000 + block));
      auto [it, added] = placeIndex.try_emplace(place, static_cast<int>(places.size()));
      if (added) places.push_back(&it->first);
      index = it->second;
    }
    if (index != last) runs.push_back(static_cast<std::uint32_t>(block) << 12 | index);
    last = index;
  }
  if (places.size() > kMaxPlaces) throw std::runtime_error("too many places");

  std::FILE* out = std::fopen(argv[1], "w");
  if (!out) throw std::runtime_error(std::string("cannot write ") + argv[1]);
  std::fputs("// Made at build time from libphonenumber's data. Do not edit.\n"
             "#include \"number_data/block_table_data.h\"\n\n"
             "namespace tolvarine::number_data {\n\n"
             "const char kPlaceTexts[] =\n    \"",
             out);
  for (std::size_t i = 1; i < places.size(); ++i) {
    WriteEscaped(out, places[i]->province);
    WriteEscaped(out, places[i]->city);
    WriteEscaped(out, places[i]->carrier);
    std::fputs("\"\n    \"", out);
  }
  std::fprintf(out, "\";\nconst int kPlaceCount = %zu;\n\nconst std::uint32_t kBlockRuns[] = {",
               places.size() - 1);
  for (std::size_t i = 0; i < runs.size(); ++i)
    std::fprintf(out, "%s0x%x,", i % 8 == 0 ? "\n    " : " ", runs[i]);
  std::fprintf(out, "\n};\nconst int kBlockRunCount = %zu;\n\n}  // namespace tolvarine::number_data\n",
               runs.size());
  if (std::fclose(out) != 0) throw std::runtime_error("write failed");
  std::printf("%zu places, %zu runs\n", places.size() - 1, runs.size());
  return 0;
} catch (const std::exception& e) {
  std::fprintf(stderr, "tolvarine_block_table_generator: %s\n", e.what());
  return 1;
}
