#pragma once
// What a run or pre-scan reports while it goes on, for whatever keeps a record
// of it or shows its progress. The sequencers, the reply decoder and the end
// of a run each make one call where the event happens; the observer decides
// what to keep. Every call has a default that does nothing.
#include <initializer_list>
#include <string_view>
#include <vector>

#include "core/threshold.h"
#include "core/types.h"

namespace mz {

struct Context;

class RunObserver {
 public:
  virtual ~RunObserver() = default;

  // RUN or PRE-SCAN has started a test (the result tables are clear).
  virtual void RunStarted(Context& /*ctx*/, bool /*preScan*/) {}
  // A step frequency and drive code have gone to the instrument.
  virtual void StepSent(Context& /*ctx*/, Integer /*freqHz*/, Byte /*drive*/) {}
  // A step has been recorded: it is StepCount - 1 now.
  virtual void StepRecorded(Context& /*ctx*/) {}
  // A status reply told the EUT's state (fault or OK).
  virtual void EutReported(Context& /*ctx*/, bool /*fault*/) {}
  // A reading reply told the field condition (0 none, 1 to 5 the warnings).
  virtual void FieldCondition(Context& /*ctx*/, int /*kind*/, std::string_view /*text*/) {}
  // DWELL/RELEASE was pressed; DwellHold holds the new state.
  virtual void DwellToggled(Context& /*ctx*/) {}
  // The operator pressed STOP.
  virtual void StopPressed(Context& /*ctx*/) {}
  // The amplifier reported a fault that ends the test.
  virtual void AmplifierFault(Context& /*ctx*/) {}
  // The instrument stopped answering during the test.
  virtual void InstrumentLost(Context& /*ctx*/) {}
  // A threshold search has begun at the failing step Search.Step.
  virtual void ThresholdSearchStarted(Context& /*ctx*/) {}
  // It has ended with this result (the last of Thresholds).
  virtual void ThresholdFound(Context& /*ctx*/, const ThresholdResult& /*result*/) {}
  // A sequencer tick has run (the run clock or the pre-scan timer).
  virtual void Ticked(Context& /*ctx*/) {}
  // The test has ended; message is the operator's end message ("" for none).
  // Called before that message is shown.
  virtual void RunEnded(Context& /*ctx*/, int /*reason*/, std::string_view /*message*/) {}
  // The program is ending without its close query (a termination signal, the
  // display gone): a test still going ends here; why says what ended it.
  virtual void ProgramEnding(Context& /*ctx*/, std::string_view /*why*/) {}
};

// Passes every call on to each of several observers, in order.
class RunObservers : public RunObserver {
 public:
  RunObservers(std::initializer_list<RunObserver*> all) : all_(all) {}
  void RunStarted(Context& ctx, bool preScan) override {
    for (auto* o : all_) o->RunStarted(ctx, preScan);
  }
  void StepSent(Context& ctx, Integer freqHz, Byte drive) override {
    for (auto* o : all_) o->StepSent(ctx, freqHz, drive);
  }
  void StepRecorded(Context& ctx) override {
    for (auto* o : all_) o->StepRecorded(ctx);
  }
  void EutReported(Context& ctx, bool fault) override {
    for (auto* o : all_) o->EutReported(ctx, fault);
  }
  void FieldCondition(Context& ctx, int kind, std::string_view text) override {
    for (auto* o : all_) o->FieldCondition(ctx, kind, text);
  }
  void DwellToggled(Context& ctx) override {
    for (auto* o : all_) o->DwellToggled(ctx);
  }
  void StopPressed(Context& ctx) override {
    for (auto* o : all_) o->StopPressed(ctx);
  }
  void AmplifierFault(Context& ctx) override {
    for (auto* o : all_) o->AmplifierFault(ctx);
  }
  void InstrumentLost(Context& ctx) override {
    for (auto* o : all_) o->InstrumentLost(ctx);
  }
  void ThresholdSearchStarted(Context& ctx) override {
    for (auto* o : all_) o->ThresholdSearchStarted(ctx);
  }
  void ThresholdFound(Context& ctx, const ThresholdResult& result) override {
    for (auto* o : all_) o->ThresholdFound(ctx, result);
  }
  void Ticked(Context& ctx) override {
    for (auto* o : all_) o->Ticked(ctx);
  }
  void RunEnded(Context& ctx, int reason, std::string_view message) override {
    for (auto* o : all_) o->RunEnded(ctx, reason, message);
  }
  void ProgramEnding(Context& ctx, std::string_view why) override {
    for (auto* o : all_) o->ProgramEnding(ctx, why);
  }

 private:
  std::vector<RunObserver*> all_;
};

// The observer of ctx, or one that ignores everything when none is set.
RunObserver& Runs(Context& ctx);

}  // namespace mz
