// The number table as the build made it, held against libphonenumber itself.
#include <gtest/gtest.h>
#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumberutil.h>
#include <unicode/locid.h>

#include <random>
#include <string>

#include "base/gbk.h"
#include "number_data/block_table.h"

namespace tolvarine::testing {
namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

struct Expected {
  const char* number;
  const char* province;  // UTF-8
  const char* city;
  const char* carrier;
};

const BlockTableNumberInfo& Table() {
  static const BlockTableNumberInfo table;
  return table;
}

// Places and carriers as libphonenumber gives them (geocoder in Chinese, carrier data by
// the longest prefix), split into province and city.
TEST(NumberInfo, KnownNumbersGetTheirPlaceAndCarrier) {
  const Expected cases[] = {
      {"13812345678", "江苏省", "连云港市", "中国移动"},
      {"13312345678", "贵州省", "遵义市", "中国电信"},
      {"13000690000", "广西", "南宁市", "中国联通"},          // an autonomous region
      {"13030450000", "内蒙古", "锡林郭勒盟", "中国联通"},
      {"13012345678", "重庆市", "重庆市", "中国联通"},        // a municipality
      {"17041234567", "", "", "中国联通"},                    // a block with no place
      {"17012345678", "", "", "中国电信"},                    // 1701 and 1704 differ
      {"19212345678", "", "", "CBN"},
  };
  // The table's last block.
  EXPECT_TRUE(Table().Look("19999999999").valid);
  EXPECT_EQ(GbkToUtf8(Table().Look("19999999999").carrier), "中国电信");
  for (const Expected& c : cases) {
    const NumberPlace& place = Table().Look(c.number);
    EXPECT_TRUE(place.valid) << c.number;
    EXPECT_EQ(GbkToUtf8(place.province), c.province) << c.number;
    EXPECT_EQ(GbkToUtf8(place.city), c.city) << c.number;
    EXPECT_EQ(GbkToUtf8(place.carrier), c.carrier) << c.number;
  }
}

TEST(NumberInfo, NoMobileNumberIsInvalidWithNoPlace) {
  for (const char* number : {"14012345678", "10012345678", "23812345678", "1381234567",
                             "138123456789", "1381234567x", "+8613812345"}) {
    const NumberPlace& place = Table().Look(number);
    EXPECT_FALSE(place.valid) << number;
    EXPECT_EQ(place.province + place.city + place.carrier, "") << number;
  }
}

// Random numbers, anywhere within their blocks: the table says what the library says.
TEST(NumberInfo, AgreesWithTheLibraryOnRandomNumbers) {
  const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
  const i18n::phonenumbers::PhoneNumberOfflineGeocoder geocoder;
  std::mt19937_64 random(20261209);
  for (int i = 0; i < 4000; ++i) {
    const std::uint64_t national = 10000000000ULL + random() % 10000000000ULL;
    PhoneNumber number;
    number.set_country_code(86);
    number.set_national_number(national);
    const auto type = util.GetNumberType(number);
    const std::string digits = std::to_string(national);
    const NumberPlace& place = Table().Look(digits);
    ASSERT_EQ(place.valid, type == PhoneNumberUtil::MOBILE) << digits;
    if (!place.valid) continue;
    const std::string said = geocoder.GetDescriptionForValidNumber(number, icu::Locale("zh"));
    const std::string province = GbkToUtf8(place.province), city = GbkToUtf8(place.city);
    if (said == "中国") {
      EXPECT_EQ(province + city, "") << digits;
    } else if (province == city) {  // a municipality, written with or without 市
      EXPECT_TRUE(province == said || province == said + "市") << digits << " " << said;
    } else {
      EXPECT_EQ(province + city, said) << digits;
      EXPECT_NE(city, "") << digits;
    }
  }
}

}  // namespace
}  // namespace tolvarine::testing
