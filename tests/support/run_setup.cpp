#include "support/run_setup.h"

#include <fstream>
#include <stdexcept>

#include "core/control_names.h"
#include "core/controls.h"
#include "link/command_codes.h"

namespace mz::test {

void WriteFlatCell(Context& ctx) {
  ctx.state.CellNumber = "10";
  std::ofstream out(ctx.folder / "cell0010.csv", std::ios::binary | std::ios::trunc);
  out << "Cell 10\r\nMHz,3 V/M,5 V/M,7 V/M,10 V/M\r\n";
  for (int mhz : {30, 100, 300, 1000}) out << mhz << ",0.5,0.8,1.2,2.0\r\n";
}

void FillStandardPanel(Context& ctx, const StandardPanel& p) {
  auto& c = ctx.controls;
  c.SetText(ctl::StartFreq, p.Start);
  c.SetText(ctl::FinishFreq, p.Finish);
  c.SetText(ctl::StepPercent, p.Step);
  c.SetText(ctl::FieldLevel, p.Field);
  c.SetText(ctl::DwellTime, p.Dwell);
  c.SetItemIndex(ctl::ModulationCombo, p.Modulation);
  c.SetItemIndex(ctl::EutStatus, p.EutStatus);
  c.SetItemIndex(ctl::EutPrompt, p.EutPrompt);
  // The start is checked against the finish stored before, as on screen.
  ctx.state.FinishFreqHz = 1'000'000'000;
  ctx.state.TestType = 1;
}

void FillSinglePanel(Context& ctx, const SinglePanel& p) {
  auto& c = ctx.controls;
  c.SetText(ctl::SingleFreq, p.Freq);
  c.SetText(ctl::SingleLevel, p.Level);
  c.SetText(ctl::AutoIncStart, p.Start);
  c.SetText(ctl::AutoIncStop, p.Stop);
  c.SetText(ctl::AutoIncStep, p.Step);
  c.SetText(ctl::AutoIncDwell, p.AutoDwell);
  c.SetChecked(ctl::AutoIncrease, p.AutoIncrease);
  c.SetChecked(ctl::StopOnEutFault, p.StopOnEutFault);
  ctx.state.TestType = 2;
}

void QuietTimers(Context& ctx) {
  for (auto id : {TimerId::Startup, TimerId::Clock, TimerId::Status})
    ctx.loop.SetTimerEnabled(id, false);
}

std::int32_t Frame::Freq() const {
  if (Data.size() < 4) return 0;
  return static_cast<std::int32_t>((std::uint32_t{Data[0]} << 24) | (std::uint32_t{Data[1]} << 16) |
                                   (std::uint32_t{Data[2]} << 8) | Data[3]);
}

std::vector<Frame> Frames(std::span<const std::uint8_t> bytes,
                          std::span<const std::int64_t> times) {
  std::vector<Frame> frames;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (bytes[i] == kAck || bytes[i] == kNak) {  // the program's answer to a reply
      ++i;
      continue;
    }
    if (bytes[i] != kSoh || i + 2 >= bytes.size()) throw std::runtime_error("not a frame start");
    const std::size_t count = bytes[i + 1];
    const std::size_t end = i + count + 1;  // index of EOT
    if (count < 2 || end >= bytes.size() || bytes[end] != kEot)
      throw std::runtime_error("frame without EOT");
    frames.push_back(
        {bytes[i + 2],
         {bytes.begin() + static_cast<long>(i) + 3, bytes.begin() + static_cast<long>(end)},
         end < times.size() ? times[end] : 0});
    i = end + 1;
  }
  return frames;
}

std::vector<Frame> Frames(std::span<const std::uint8_t> bytes) {
  return Frames(bytes, {});
}

std::vector<Frame> WithoutPolls(const std::vector<Frame>& frames) {
  std::vector<Frame> out;
  for (const auto& f : frames)
    if (f.Code != cmd::KeepAlive && f.Code != cmd::StatusPoll) out.push_back(f);
  return out;
}

std::vector<int> Codes(const std::vector<Frame>& frames) {
  std::vector<int> codes;
  for (const auto& f : frames) codes.push_back(f.Code);
  return codes;
}

}  // namespace mz::test
