#pragma once
// Where an EUT report is marked in the results, and which step a halt on it
// names: the reply decoder and the simulation both go through here.
#include "core/context.h"

namespace mz {

// The entry an EUT report marks now. While a test runs it is the step whose
// setting the report tells of: the step applied (AppliedStep; during its
// levelling the entry it will be recorded at, during its dwell the step
// itself, recorded already), or the one applied before it while the
// instrument has not yet answered the step's command, since a status reply
// then answers a poll written ahead of that command, or while the reply is
// the one the instrument sends as it takes the command (its EUT line is the
// line as last polled, before the new setting reached the EUT). The simulation answers
// at once, so there it is always the step applied. With no test running,
// StepCount, the entry past the last recorded step.
Integer EutMarkStep(const Context& ctx);

// Whether a status reply coming now tells of the setting applied before the
// last step command (a command not yet answered, or the report the
// instrument sends as it takes one); always false in simulation.
bool TellsOfPriorSetting(const Context& ctx);

// Writes the mark (0 none, 1 OK, 2 fail) of entry i; nothing outside the
// tables. A recorded step (below StepCount) is on the graph: its mark is
// drawn again there when it changes.
void SetEutMark(Context& ctx, Integer i, Byte mark);

// What an EUT report does to the results while a test watches the EUT: a
// fault marks EutMarkStep failed and, under Halt (or Single's Stop on EUT
// Fault), halts the test there; an OK marks that step OK unless it is marked
// already (a fail mark is never turned back to OK) and lifts a halt not yet
// acted on.
void MarkEutReport(Context& ctx, bool fault);

// Sets or clears EutHalt; a halt that begins here names step as the step the
// EUT failed at (EutHaltStep).
void SetEutHalt(ProgramState& s, bool halt, Integer step);

}  // namespace mz
