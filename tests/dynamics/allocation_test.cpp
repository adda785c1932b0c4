// The 33 ms tick must not allocate: counts every allocation made through operator new.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "dynamics/motion.hpp"
#include "dynamics/train_fixture.hpp"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
// GCC takes the replacement pair for a mismatched new and free.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
#pragma GCC diagnostic pop
void operator delete(void* p, std::size_t) noexcept { ::operator delete(p); }

namespace vantrel {
namespace {

TEST(Tick, AllocatesNothingEvenWhenAGearChangeRefreshesTheLabels) {
    vantrel::Run run;
    test::diesel_train(run);
    test::ready_to_run(run);
    run.core.Speed = test::fx(41);
    run.core.PowerHandle = 3;
    run.handles.power_pending = true;
    const long before = allocations.load();
    for (int i = 0; i < 200; ++i) MMTimer1Timer(run);  // shift to 直1 and its label
    EXPECT_EQ(allocations.load() - before, 0);
    EXPECT_EQ(run.view.GearLabel, "直1");
}

}  // namespace
}  // namespace vantrel
