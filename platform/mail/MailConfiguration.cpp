#include "MailConfiguration.h"

#include <chrono>
#include <mutex>

namespace mail {

namespace {

    MailAccount defaultAccount() { return { "Mobile", "mobile@example.com" }; }

    double systemNow()
    {
        using namespace std::chrono;
        return duration<double>(system_clock::now().time_since_epoch()).count();
    }

    struct Configuration {
        std::mutex lock;
        std::optional<MailAccount> account { defaultAccount() };
        MailClock clock;
    };

    Configuration& configuration()
    {
        static Configuration shared;
        return shared;
    }

} // namespace

void setMailAccount(std::optional<MailAccount> account)
{
    auto& c = configuration();
    std::lock_guard guard(c.lock);
    c.account = std::move(account);
}

std::optional<MailAccount> mailAccount()
{
    auto& c = configuration();
    std::lock_guard guard(c.lock);
    return c.account;
}

void setMailClock(MailClock clock)
{
    auto& c = configuration();
    std::lock_guard guard(c.lock);
    c.clock = std::move(clock);
}

double mailNow()
{
    MailClock clock;
    {
        auto& c = configuration();
        std::lock_guard guard(c.lock);
        clock = c.clock;
    }
    return clock ? clock() : systemNow();
}

void resetMailConfiguration()
{
    auto& c = configuration();
    std::lock_guard guard(c.lock);
    c.account = defaultAccount();
    c.clock = nullptr;
}

} // namespace mail
