// The platform's exceptions (NSException): a name and a reason. Platform
// methods throw them where the phone raises; the system catches them only
// where it means to, and logs their description.
#pragma once

#include <stdexcept>
#include <string>

namespace runtime {

class ObjCException : public std::runtime_error {
public:
    ObjCException(std::string name, std::string reason)
        : std::runtime_error(name + ": " + reason)
        , m_name(std::move(name))
        , m_reason(std::move(reason))
    {
    }
    const std::string& name() const { return m_name; }
    const std::string& reason() const { return m_reason; }
    // What `-[NSException description]` answers: the reason.
    const std::string& description() const { return m_reason; }

private:
    std::string m_name;
    std::string m_reason;
};

} // namespace runtime
