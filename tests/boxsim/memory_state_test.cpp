// The box's memory kept between runs with a state folder.

#include <gtest/gtest.h>

#include <fstream>

#include "boxsim/box_memory.h"
#include "boxsim/loader_fixture.h"

namespace tw::test {
namespace {

class MemoryStateTest : public LoaderFixture {
 protected:
  BoxOptions StateOptions() const {
    BoxOptions options;
    options.stateDir = m_state.Path();
    return options;
  }
  TempDir m_state;
};

TEST_F(MemoryStateTest, DownloadSurvivesARestartAndUploadsTheSameBytes) {
  Start(StateOptions());
  const Bytes content = Pattern(5000, 4);
  ASSERT_EQ(Download(Mode::Flash, 0x7FE00000, content).back(), (BoxReply{rpl::kComplete, 0}));
  ASSERT_EQ(Download(Mode::Sdram, 0x01000000, content).back(), (BoxReply{rpl::kComplete, 0}));
  m_loader.reset();

  Start(StateOptions());
  EXPECT_TRUE(m_loader->StateProblem().empty());
  EXPECT_EQ(Upload(Mode::Flash, 0x7FE00000, 5000), content);
  EXPECT_EQ(Upload(Mode::Sdram, 0x01000000, 5000), content);
  EXPECT_EQ(Upload(Mode::Flash, 0x7FE01388, 8), Bytes(8, 0xFF));
  EXPECT_TRUE(std::filesystem::exists(m_state.Path() / "disk" / "mp3")) << "the disk lives under the state";
}

TEST_F(MemoryStateTest, DamagedStateIsReportedAndTheMemoryStartsErased) {
  std::ofstream(m_state.Path() / "eeprom.mem", std::ios::binary) << "TWMEM1";
  Start(StateOptions());
  EXPECT_NE(m_loader->StateProblem().find("unreadable"), std::string::npos);
  EXPECT_EQ(Upload(Mode::Eeprom, 0, 4), Bytes(4, 0xFF));
}

}  // namespace
}  // namespace tw::test
