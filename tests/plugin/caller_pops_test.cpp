// The 32-bit C calling convention the host relies on when it calls the
// exports: the caller removes the arguments. On x64 there is one convention,
// with the first arguments in registers, so this holds only for x86.
#include <gtest/gtest.h>

#include "support/fake_monitor.h"
#include "support/plugin.h"
#include "stack_probe.h"

namespace {

struct ConventionCase {
    const char *name;
    uint32_t arguments;
    bool returnsFloat;
};

// The C calling convention: the caller removes the arguments, so after the call
// every byte it pushed is still on the stack.
TEST(Exports, CallerRemovesTheArguments) {
    ASSERT_FALSE(BlockNameOpens()) << "with no block no export touches its arguments' targets";
    Plugin plugin;
    ASSERT_TRUE(plugin.loaded());
    const ConventionCase cases[] = {{"GetSourceData", 1, true}, {"GetSourceDesc", 2, false}};
    // Serves as an index far out of range and as a record no export writes to.
    SourceDesc record{};
    uint32_t argument = uint32_t(UINT_PTR(&record));
    for (const ConventionCase &c : cases) {
        const void *function =
            reinterpret_cast<const void *>(GetProcAddress(plugin.module(), c.name));
        ASSERT_NE(function, nullptr) << c.name;
        EXPECT_EQ(BytesLeftOnStack(function, argument, c.arguments, c.returnsFloat),
                  4 * c.arguments)
            << c.name << " removed arguments itself";
    }
}

} // namespace
