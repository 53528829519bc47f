#include "files/setup_block_io.h"

#include <gtest/gtest.h>

#include "core/control_names.h"
#include "core/errors.h"
#include "core/setup_fixture.h"
#include "support/test_program.h"

namespace mz {
namespace {

const std::vector<std::uint8_t> kKeepAlive{0x01, 0x02, 0x28, 0x04};

class SetupBlockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p.port.Open(true);
    test::FillGoldenSetup(p.state);
  }
  test::TestProgram p;
};

TEST_F(SetupBlockTest, WritesTheGoldenBlockAndSendsKeepAlive) {
  LineWriter out;
  WriteSetupBlock(p.ctx, out);
  EXPECT_EQ(out.Text(), test::ReadFile(test::Golden("setup_block.txt")));
  EXPECT_EQ(p.port.TakeWritten(), kKeepAlive);
}

TEST_F(SetupBlockTest, ReadingRestoresTheSetupThroughTwoDecimals) {
  LineWriter out;
  WriteSetupBlock(p.ctx, out);
  p.port.TakeWritten();

  test::TestProgram q;
  q.port.Open(true);
  auto in = LineReader::FromText(out.Text());
  ReadSetupBlock(q.ctx, in);
  const auto& a = p.state;
  const auto& b = q.state;
  EXPECT_EQ(b.CurrentFreqHz, a.CurrentFreqHz);
  EXPECT_DOUBLE_EQ(b.AutoIncStartLevel, 1.5);
  EXPECT_DOUBLE_EQ(b.AutoIncStepLevel, 0.12);  // written 8:2
  EXPECT_EQ(b.AutoIncDwell, 5);
  EXPECT_EQ(b.StartFreqHz, a.StartFreqHz);
  EXPECT_EQ(b.FinishFreqHz, a.FinishFreqHz);
  EXPECT_FLOAT_EQ(b.StepPercent, 1.0F);
  EXPECT_EQ(b.DwellTime, 3);
  EXPECT_DOUBLE_EQ(b.FieldLevel, 10);
  EXPECT_EQ(b.EstimatedTime, 465);
  EXPECT_EQ(b.Modulation, 4);
  EXPECT_EQ(b.EutPromptMode, 1);
  EXPECT_EQ(b.EutStatusMode, 2);
  EXPECT_DOUBLE_EQ(b.SingleLevel, 2.5);
  EXPECT_EQ(b.AmplifierType, 2);
  EXPECT_EQ(b.TestType, 3);
  EXPECT_EQ(b.CustomTable, a.CustomTable);  // single precision kept exactly
  EXPECT_EQ(q.port.TakeWritten(), kKeepAlive);
  // The modulation display follows line 12.
  EXPECT_EQ(q.controls.Text(ctl::SetupDepthLabel), "Modulation Depth = 80%");
  EXPECT_EQ(q.controls.Text(ctl::MonitorModulation), "1 KHz AM");
}

TEST_F(SetupBlockTest, ByteFieldsTakeTheLowByte) {
  std::string text = test::ReadFile(test::Golden("setup_block.txt"));
  text.replace(text.find("\r\n4\r\n1\r\n2\r\n"), 11, "\r\n258\r\n1\r\n2\r\n");
  auto in = LineReader::FromText(text);
  ReadSetupBlock(p.ctx, in);
  EXPECT_EQ(p.state.Modulation, 2);
  EXPECT_EQ(p.controls.Text(ctl::SetupDepthLabel), "Modulation Depth = 100%");
}

TEST_F(SetupBlockTest, AShortBlockStopsAtTheFailingLineKeepingWhatWasRead) {
  p.state = ProgramState{};
  auto in = LineReader::FromText("50000000\r\n    2.00\r\nrubbish\r\n");
  EXPECT_THROW(ReadSetupBlock(p.ctx, in), FileError);
  EXPECT_EQ(p.state.CurrentFreqHz, 50'000'000);
  EXPECT_DOUBLE_EQ(p.state.AutoIncStartLevel, 2.0);
  EXPECT_EQ(p.state.AutoIncStopLevel, 0);
  EXPECT_TRUE(p.port.TakeWritten().empty());  // KeepAlive comes only after line 21
}

}  // namespace
}  // namespace mz
