// A phone booted on a fresh device folder with an empty Messages database
// and an Address Book that knows one person, plus hooks that record the
// host's calls as a trace string, as an extension would see them. Hooks are
// taken off again when the test ends (last installed first), so tests that
// share a process do not see each other's hooks.
#pragma once

#include "support/TemporaryDevice.h"

#include <addressbook/ABAddressBook.h>
#include <addressbook/AddressBookWriter.h>
#include <chatkit/Schema.h>
#include <foundation/DevicePath.h>
#include <foundation/SystemLog.h>
#include <runtime/Runtime.h>
#include <phone/Phone.h>
#include <uikit/Geometry.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace springboard_test {

using runtime::Id;
using runtime::Object;
using runtime::Sel;
using runtime::send;

inline std::string g_trace;

// One hook per (Tag, signature): appends its label to g_trace and calls through.
template <int Tag, class R, class... A>
struct TraceHook {
    static inline R (*saved)(Object*, Sel, A...) = nullptr;
    static inline std::string label;
    static inline std::function<void()> before;
    static R replacement(Object* self, Sel selector, A... args)
    {
        g_trace += label;
        if (before)
            before();
        return saved(self, selector, args...);
    }
};

class HookSet {
public:
    ~HookSet()
    {
        for (auto revert = m_reverts.rbegin(); revert != m_reverts.rend(); ++revert)
            (*revert)();
    }

    template <int Tag, class R, class... A>
    void trace(const char* className, const char* selector, std::string label)
    {
        using Hook = TraceHook<Tag, R, A...>;
        Hook::label = std::move(label);
        Hook::before = nullptr;
        install<R, A...>(className, selector, &Hook::replacement, &Hook::saved);
    }

    // A replacement with its own saved slot, for hooks that decide whether to call through.
    template <class R, class... A>
    void install(const char* className, const char* selector, R (*replacement)(Object*, Sel, A...), R (**saved)(Object*, Sel, A...))
    {
        runtime::Class* cls = runtime::classNamed(className);
        ASSERT_TRUE(cls) << className;
        ASSERT_EQ(runtime::hookMessage(cls, selector, replacement, saved), runtime::HookResult::Ok) << className << " " << selector;
        R(*original)
        (Object*, Sel, A...) = *saved;
        m_reverts.push_back([=] { runtime::revertHook(cls, selector, replacement, original); });
    }

private:
    std::vector<std::function<void()>> m_reverts;
};

class PhoneWithOneContact : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_trace.clear();
        foundation::setDeviceRoot(m_root);
        auto created = chatkit::createDatabase(foundation::hostPath(chatkit::smsDatabaseDevicePath));
        ASSERT_TRUE(created) << created.reason();
        auto book = foundation::hostPath(addressbook::AddressBookDevicePath);
        ASSERT_TRUE(addressbook::createAddressBookDatabase(book));
        addressbook::PersonData anna;
        anna.first = "Anna";
        anna.last = "Rossi";
        anna.phones.push_back({ "_$!<Mobile>!$_", "+39 333 1234567", -1 });
        ASSERT_TRUE(addressbook::AddressBookWriter::open(book)->addPerson(anna));
    }

    void TearDown() override { m_phone.reset(); }

    phone::Phone& boot(phone::BootOptions options = {})
    {
        options.deviceRoot = m_root;
        auto result = phone::Phone::boot(std::move(options));
        EXPECT_TRUE(result) << result.reason();
        if (result)
            m_phone = result.releaseValue();
        return *m_phone;
    }

    phone::Phone& phone() { return *m_phone; }
    nlohmann::json state() { return m_phone->springboardState(); }
    bool logContains(std::string_view text) { return foundation::SystemLog::shared().contains(text); }

    static constexpr const char* AnnasNumber = "+393331234567";

    testsupport::TemporaryDevice m_device;
    std::filesystem::path m_root = m_device.root();
    std::unique_ptr<phone::Phone> m_phone;
    HookSet m_hooks;
};

} // namespace springboard_test
