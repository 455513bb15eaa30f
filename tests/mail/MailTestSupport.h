// A phone with a fresh device root, the default mail account and a fixed
// clock, for the mail folders to land in.
#pragma once

#include "support/TestClock.h"
#include <mail/MailClasses.h>
#include <mail/MailConfiguration.h>
#include <support/TemporaryDevice.h>

#include <gtest/gtest.h>

namespace mail_test {

using testsupport::testNow;

class MailTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mail::registerMailClasses();
        mail::resetMailConfiguration();
        mail::resetMailObjects();
        mail::setMailClock([] { return testNow; });
    }
    void TearDown() override
    {
        mail::resetMailObjects();
        mail::resetMailConfiguration();
    }

    testsupport::TemporaryDevice device;
};

inline std::vector<uint8_t> bytesOf(std::initializer_list<int> values)
{
    std::vector<uint8_t> bytes;
    for (int v : values)
        bytes.push_back(static_cast<uint8_t>(v));
    return bytes;
}

// Every byte value, several times over, so base64 sees all of them.
inline std::vector<uint8_t> everyByte(size_t repeats = 3)
{
    std::vector<uint8_t> bytes;
    for (size_t r = 0; r < repeats; ++r)
        for (int v = 0; v < 256; ++v)
            bytes.push_back(static_cast<uint8_t>(v));
    return bytes;
}

} // namespace mail_test
