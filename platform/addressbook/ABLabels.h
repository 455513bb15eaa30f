// The Address Book's built-in labels as the database stores them, and their
// display form. Custom labels are stored and shown as typed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace addressbook {

inline constexpr std::string_view kABHomeLabel = "_$!<Home>!$_";
inline constexpr std::string_view kABWorkLabel = "_$!<Work>!$_";
inline constexpr std::string_view kABOtherLabel = "_$!<Other>!$_";
inline constexpr std::string_view kABPersonPhoneMobileLabel = "_$!<Mobile>!$_";
inline constexpr std::string_view kABPersonPhoneIPhoneLabel = "iPhone";
inline constexpr std::string_view kABPersonPhoneMainLabel = "_$!<Main>!$_";
inline constexpr std::string_view kABPersonPhoneHomeFAXLabel = "_$!<HomeFAX>!$_";
inline constexpr std::string_view kABPersonPhoneWorkFAXLabel = "_$!<WorkFAX>!$_";
inline constexpr std::string_view kABPersonPhonePagerLabel = "_$!<Pager>!$_";
inline constexpr std::string_view kABPersonHomePageLabel = "_$!<HomePage>!$_";

// "mobile" for "_$!<Mobile>!$_"; a built-in form this list does not know
// loses its markers; a custom label comes back unchanged; nil stays nil.
std::optional<std::string> ABAddressBookCopyLocalizedLabel(const std::optional<std::string>& label);

} // namespace addressbook
