#include "Configuration.h"

#include "AddressMatching.h"

#include <chrono>
#include <cstdio>
#include <mutex>

namespace chatkit {

namespace {

    struct State {
        std::mutex lock;
        Clock clock;
        ContactNameResolver resolver;
        bool madridEnabled { true };
        AvailabilityCheck availability;
        MadridAccount account;
        LogSink sink;
        std::string lastLogged;
    };

    State& state()
    {
        static auto* s = new State;
        return *s;
    }

    MadridAccount defaultAccount()
    {
        return { "E:me@example.com", "5C2A4E1B-9D3F-4A6C-8E7B-1F2D3C4B5A69" };
    }

} // namespace

void setClock(Clock clock)
{
    std::lock_guard guard(state().lock);
    state().clock = std::move(clock);
}

double unixNow()
{
    Clock clock;
    {
        std::lock_guard guard(state().lock);
        clock = state().clock;
    }
    if (clock)
        return clock();
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

void setContactNameResolver(ContactNameResolver resolver)
{
    std::lock_guard guard(state().lock);
    state().resolver = std::move(resolver);
}

std::string contactName(const std::string& address)
{
    ContactNameResolver resolver;
    {
        std::lock_guard guard(state().lock);
        resolver = state().resolver;
    }
    return resolver ? resolver(address) : std::string();
}

void setMadridEnabled(bool enabled)
{
    std::lock_guard guard(state().lock);
    state().madridEnabled = enabled;
}

bool madridEnabled()
{
    std::lock_guard guard(state().lock);
    return state().madridEnabled;
}

void setMadridAvailability(AvailabilityCheck check)
{
    std::lock_guard guard(state().lock);
    state().availability = std::move(check);
}

int64_t madridAvailability(const std::string& address)
{
    AvailabilityCheck check;
    {
        std::lock_guard guard(state().lock);
        check = state().availability;
    }
    if (check)
        return check(address);
    return isEmailAddress(address) || isPhoneNumber(address) ? 1 : 0;
}

void setMadridAccount(MadridAccount account)
{
    std::lock_guard guard(state().lock);
    state().account = std::move(account);
}

MadridAccount madridAccount()
{
    std::lock_guard guard(state().lock);
    if (state().account.login.empty())
        return defaultAccount();
    return state().account;
}

void setLogSink(LogSink sink)
{
    std::lock_guard guard(state().lock);
    state().sink = std::move(sink);
}

void log(std::string_view message)
{
    LogSink sink;
    {
        std::lock_guard guard(state().lock);
        sink = state().sink;
    }
    if (sink)
        sink(message);
    else
        std::fprintf(stderr, "chatkit: %.*s\n", static_cast<int>(message.size()), message.data());
}

void resetConfiguration()
{
    std::lock_guard guard(state().lock);
    state().clock = nullptr;
    state().resolver = nullptr;
    state().madridEnabled = true;
    state().availability = nullptr;
    state().account = {};
    state().sink = nullptr;
}

} // namespace chatkit
