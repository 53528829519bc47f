#include "core/setup_block.h"

#include "core/test_panels.h"
#include "core/text_format.h"

namespace mz {

namespace {
std::string Real82(double v) {
  return FormatFixed(v, 8, 2);
}
constexpr const char* kSpares[] = {"Spare3", "Spare4", "Spare5", "Spare6"};

void WriteCustomRows(const ProgramState& s, LineWriter& out) {
  for (int row = 1; row <= kCustomRows; ++row) {
    out.Line(FormatInt(s.CustomTable[row].FreqHz));
    out.Line(FormatScientific(s.CustomTable[row].Level));
  }
}

void ReadCustomRows(ProgramState& s, LineReader& in) {
  for (int row = 1; row <= kCustomRows; ++row) {
    s.CustomTable[row].FreqHz = in.NextInteger();
    s.CustomTable[row].Level = static_cast<Single>(in.NextSingle());
  }
}

}  // namespace

void ComposeSetupBlock(const ProgramState& s, LineWriter& out,
                       const std::function<void()>& midway) {
  out.Line(FormatInt(s.CurrentFreqHz));
  out.Line(Real82(s.AutoIncStartLevel));
  out.Line(Real82(s.AutoIncStopLevel));
  out.Line(Real82(s.AutoIncStepLevel));
  out.Line(FormatInt(s.AutoIncDwell));
  out.Line(FormatInt(s.StartFreqHz));
  out.Line(FormatInt(s.FinishFreqHz));
  out.Line(Real82(s.StepPercent));
  out.Line(FormatInt(s.DwellTime));
  out.Line(Real82(s.FieldLevel));
  out.Line(FormatInt(s.EstimatedTime));
  out.Line(FormatInt(s.Modulation));
  out.Line(FormatInt(s.EutPromptMode));
  out.Line(FormatInt(s.EutStatusMode));
  out.Line(Real82(s.SingleLevel));
  out.Line(FormatInt(s.AmplifierType));
  out.Line(FormatInt(s.TestType));
  for (const char* spare : kSpares) out.Line(spare);
  if (midway) midway();
  WriteCustomRows(s, out);
}

void ParseSetupBlock(Context& ctx, LineReader& in, SetupSource source,
                     const std::function<void()>& midway) {
  const bool file = source == SetupSource::File;
  auto& s = ctx.state;
  s.CurrentFreqHz = in.NextInteger();
  s.AutoIncStartLevel = in.NextReal();
  s.AutoIncStopLevel = in.NextReal();
  s.AutoIncStepLevel = in.NextReal();
  s.AutoIncDwell = in.NextInteger();
  s.StartFreqHz = in.NextInteger();
  if (!file) s.CurrentFreqHz = s.StartFreqHz;
  s.FinishFreqHz = in.NextInteger();
  s.StepPercent = static_cast<Single>(in.NextSingle());
  s.DwellTime = in.NextInteger();
  s.FieldLevel = in.NextReal();
  s.EstimatedTime = in.NextInteger();
  s.Modulation = in.NextByte();
  if (file) ShowModulation(ctx, s.Modulation);
  s.EutPromptMode = in.NextByte();
  s.EutStatusMode = in.NextByte();
  s.SingleLevel = in.NextReal();
  s.AmplifierType = in.NextByte();
  if (file) {
    s.TestType = in.NextByte();
  } else {
    s.AmplifierType = 1;
    in.NextLine();
  }
  for (int i = 0; i < 4; ++i) in.NextLine();  // "Spare3".."Spare6"
  if (midway) midway();
  ReadCustomRows(s, in);
}

}  // namespace mz
