#include <foundation/ScopeGuard.h>
#include <foundation/TemporaryChange.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using namespace foundation;

namespace {

TEST(ScopeGuard, RunsOnceAtScopeExitUnlessCancelled)
{
    int runs = 0;
    {
        ScopeGuard guard([&] { ++runs; });
        EXPECT_EQ(runs, 0) << "nothing runs before the scope ends";
    }
    EXPECT_EQ(runs, 1);
    {
        ScopeGuard guard([&] { ++runs; });
        guard.cancel();
    }
    EXPECT_EQ(runs, 1) << "a cancelled guard does nothing";
}

TEST(ScopeGuard, RunsWhenAnExceptionLeavesTheScope)
{
    int runs = 0;
    EXPECT_THROW(
        {
            ScopeGuard guard([&] { ++runs; });
            throw std::runtime_error("failed");
        },
        std::runtime_error);
    EXPECT_EQ(runs, 1);
}

TEST(TemporaryChange, RestoresTheOldValueNotADefault)
{
    bool flag = true;
    {
        TemporaryChange change(flag, false);
        EXPECT_FALSE(flag);
    }
    EXPECT_TRUE(flag) << "the value before the change comes back, even when it was already set";

    std::string text = "before";
    auto changeAndLeaveEarly = [&](bool early) {
        TemporaryChange change(text, std::string("during"));
        if (early)
            return text;
        throw std::runtime_error("failed");
    };
    EXPECT_EQ(changeAndLeaveEarly(true), "during");
    EXPECT_EQ(text, "before") << "an early return restores";
    EXPECT_THROW(changeAndLeaveEarly(false), std::runtime_error);
    EXPECT_EQ(text, "before") << "an exception restores";
}

TEST(TemporaryChange, NestedChangesUnwindInOrder)
{
    int level = 0;
    {
        TemporaryChange outer(level, 1);
        {
            TemporaryChange inner(level, 2);
            EXPECT_EQ(level, 2);
        }
        EXPECT_EQ(level, 1);
    }
    EXPECT_EQ(level, 0);
}

} // namespace
