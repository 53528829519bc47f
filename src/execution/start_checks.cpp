// What must hold before a run or pre-scan sends its first command: a valid
// set-up, and for a pre-scanned run a recorded drive code for every step.
#include "core/test_types.h"
#include "execution/frequency_plan.h"
#include "execution/run_sequencer.h"

namespace mz {

namespace {

constexpr const char* kCodesMissing =
    "The Pre-Scan has no Drive Code for every Step of this Test. Run a complete Pre-Scan, "
    "or choose Normal. ";

// The validators run as they do during a run (TestRunning set), so that no
// pre-scan question is asked; each runs once, so each warning shows once.
template <typename Check>
bool AsDuringARun(Context& ctx, Check check) {
  auto& s = ctx.state;
  const Byte running = s.TestRunning;
  s.TestRunning = 1;
  const bool ok = check();
  s.TestRunning = running;
  return ok;
}

bool StandardValid(Context& ctx) {
  ValidateStandardSetup(ctx);
  return ctx.state.SetupValid;
}

bool CustomValid(Context& ctx) {
  const bool table = ValidateCustomTable(ctx);
  return table && ctx.state.SetupValid;
}

bool CodesRecorded(const ProgramState& s) {
  switch (s.TestType) {
    case 11:
    case 13: {
      const int n = PlanStepCount(s);
      for (int i = 1; i <= n; ++i) {
        if (s.PreScanDrive[i] == 0) return false;
      }
      return true;
    }
    case 12:
      return s.PreScanDrive[1] != 0;  // the first step replays step 1's code
    default:
      return true;
  }
}

}  // namespace

int PlanStepCount(const ProgramState& s) {
  Integer f = s.StartFreqHz;
  int n = 1;
  while (f < s.FinishFreqHz && n < kMaxSteps) {
    const Integer next = NextStepFrequency(s, f);
    if (next <= f) break;  // a step too small to move on
    f = next;
    ++n;
  }
  return n;
}

bool RunMayStart(Context& ctx) {
  auto& s = ctx.state;
  const bool valid = AsDuringARun(ctx, [&] {
    switch (s.TestType) {
      case 1:
      case 11:
        return StandardValid(ctx);
      case 2:
      case 12: {
        // The run clock validates the Standard panel at every tick whatever
        // the test, so its warnings belong to this run too.
        const bool standard = StandardValid(ctx);
        ValidateSingleSetup(ctx);
        return standard && s.SetupValid;
      }
      case 3:
      case 13:
        return CustomValid(ctx);
      default:
        return false;
    }
  });
  if (!valid) {
    RefuseStart(ctx, EndReason::Completed);
    return false;
  }
  if (!CodesRecorded(s)) {
    ctx.display.Beep();
    ctx.op.Message(MessageKind::Warning, kCodesMissing, Buttons::Ok);
    return false;
  }
  return true;
}

bool PreScanMayStart(Context& ctx) {
  auto& s = ctx.state;
  const bool valid = AsDuringARun(ctx, [&] {
    switch (s.TestType) {
      case 1:
      case 11:
        return StandardValid(ctx);
      case 3:
      case 13:
        return CustomValid(ctx);
      default:
        return false;  // only a sweep can be pre-scanned
    }
  });
  if (!valid) RefuseStart(ctx, EndReason::PreScanEnded);
  return valid;
}

}  // namespace mz
