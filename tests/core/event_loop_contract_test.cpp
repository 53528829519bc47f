// The event loop's contract (support/event_loop_contract.h) on the virtual
// loop that the logic's tests run on, with its exact times.
#include <gtest/gtest.h>

#include "support/event_loop_contract.h"
#include "support/virtual_event_loop.h"

namespace mz::test {
namespace {

class VirtualEventLoopContract : public ::testing::TestWithParam<std::size_t> {};

TEST_P(VirtualEventLoopContract, Holds) {
  const EventLoopCase& c = EventLoopContract()[GetParam()];
  VirtualEventLoop loop;
  for (const std::string& failure : c.run(loop, true)) ADD_FAILURE() << failure;
}

INSTANTIATE_TEST_SUITE_P(, VirtualEventLoopContract,
                         ::testing::Range<std::size_t>(0, EventLoopContract().size()),
                         [](const auto& info) { return EventLoopContract()[info.param].name; });

}  // namespace
}  // namespace mz::test
