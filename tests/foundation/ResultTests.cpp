#include <foundation/Result.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace foundation;

namespace {

Result<int> parsedDigit(char c)
{
    if (c < '0' || c > '9')
        return Error(std::string("'") + c + "' is not a digit");
    return c - '0';
}

Result<int> sumOfDigits(std::string_view text, std::string& trace)
{
    int sum = 0;
    for (char c : text) {
        sum += TRY(parsedDigit(c));
        trace += c;
    }
    return sum;
}

TEST(Result, TryHandsTheFirstReasonUpAndStopsThere)
{
    std::string trace;
    auto good = sumOfDigits("123", trace);
    ASSERT_TRUE(good);
    EXPECT_EQ(*good, 6);
    EXPECT_EQ(trace, "123");

    trace.clear();
    auto bad = sumOfDigits("1x2y", trace);
    ASSERT_TRUE(bad.isError());
    EXPECT_EQ(bad.error().reason(), "'x' is not a digit");
    EXPECT_EQ(trace, "1") << "nothing after the failing call runs";
}

Result<std::unique_ptr<std::string>> owned(bool fail)
{
    if (fail)
        return Error("no memory for the name");
    return std::make_unique<std::string>("Anna");
}

Result<void> checkedName(bool fail, std::string& out)
{
    auto name = TRY(owned(fail));
    out = *name;
    return success();
}

TEST(Result, MoveOnlyValuesAndVoidResultsPassThroughTry)
{
    std::string name;
    EXPECT_TRUE(checkedName(false, name));
    EXPECT_EQ(name, "Anna");
    auto failed = checkedName(true, name);
    ASSERT_TRUE(failed.isError());
    EXPECT_EQ(failed.reason(), "no memory for the name");
    EXPECT_EQ(failed.error().prefixed("contacts: ").reason(), "contacts: no memory for the name");
    EXPECT_EQ(Result<int>(7).reason(), "") << "a value has no reason";
    EXPECT_EQ(Result<int>(Error("gone")).valueOr(3), 3);
}

} // namespace
