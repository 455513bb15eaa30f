#include "ABLabels.h"

#include <array>
#include <utility>

namespace addressbook {

std::optional<std::string> ABAddressBookCopyLocalizedLabel(const std::optional<std::string>& label)
{
    if (!label)
        return std::nullopt;
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 9> names { {
        { kABHomeLabel, "home" },
        { kABWorkLabel, "work" },
        { kABOtherLabel, "other" },
        { kABPersonPhoneMobileLabel, "mobile" },
        { kABPersonPhoneMainLabel, "main" },
        { kABPersonPhoneHomeFAXLabel, "home fax" },
        { kABPersonPhoneWorkFAXLabel, "work fax" },
        { kABPersonPhonePagerLabel, "pager" },
        { kABPersonHomePageLabel, "home page" },
    } };
    for (auto [stored, shown] : names) {
        if (*label == stored)
            return std::string(shown);
    }
    std::string_view text = *label;
    constexpr std::string_view open = "_$!<";
    constexpr std::string_view close = ">!$_";
    if (text.size() >= open.size() + close.size() && text.starts_with(open) && text.ends_with(close))
        return std::string(text.substr(open.size(), text.size() - open.size() - close.size()));
    return label;
}

} // namespace addressbook
