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
    constexpr std::string_view LabelOpening = "_$!<";
    constexpr std::string_view LabelClosing = ">!$_";
    if (text.size() >= LabelOpening.size() + LabelClosing.size() && text.starts_with(LabelOpening) && text.ends_with(LabelClosing))
        return std::string(text.substr(LabelOpening.size(), text.size() - LabelOpening.size() - LabelClosing.size()));
    return label;
}

} // namespace addressbook
