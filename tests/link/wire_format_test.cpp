#include "link/wire_format.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(RequestAddress, TakesTheLastEightCharactersOrForEepromTheLastFourAfterThePrefix) {
  struct Case {
    Mode mode;
    const char* start;
    std::uint32_t address;
  };
  for (const Case& c :
       {Case{Mode::Sdram, "0x80001234", 0x80001234}, Case{Mode::Flash, "0x123456789", 0x23456789},
        Case{Mode::Program, "0x12", 0x12}, Case{Mode::Eeprom, "1234", 0x1234}, Case{Mode::Eeprom, "0x12", 0x12},
        Case{Mode::Eeprom, "0x00012345", 0x2345}, Case{Mode::Database, "0x00400000", kDatabaseAddress}}) {
    EXPECT_EQ(RequestAddress(c.mode, c.start), c.address) << c.start;
  }
  for (const auto& [text, value] : {std::pair{"", 0x0u}, std::pair{"A", 0xAu}, std::pair{"0X7fe0", 0x7FE0u},
                                    std::pair{"1234567", 0x1234567u}, std::pair{"ffffffff", 0xFFFFFFFFu}}) {
    EXPECT_EQ(ParseHexText(text), value) << text;
  }
}

}  // namespace
}  // namespace tw
