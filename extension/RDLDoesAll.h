// RDLDoesAll: what the quick reply and quick compose windows may ask of their
// delegate, the controller RDL. The windows hold the delegate as a plain
// runtime object and reach it only through these messages, so a window builds
// and runs without knowing the controller's C++ class; a delegate that is nil
// answers the empty list, NO, nil and empty strings, and closing does nothing.
//
// Selectors and the signatures the controller registers them with:
//
//   multimediaObjects   std::vector<runtime::Id>()          media parts of the message
//   hasAttachments      bool()                              last part was a media part
//   dismissBannerOnly   void()                              remove the system banner only
//   dismissBanner       void()                              close the window and reset
//   preferencesManager  kelvane::KelvanePreferenceManager*() the store, owned by RDL
//   lastMessageType     std::string()                       "sms" or "iMessage"
//   lastMessageAddress  std::string()                       sender address
//   lastMessage         std::string()                       text of the message
//
// The store pointer stays valid for the controller's life (the life of the
// host process); a window must not keep it beyond its delegate.
#pragma once

#include <KelvaneLibrary/KelvanePreferenceManager.h>
#include <runtime/Runtime.h>

#include <string>
#include <vector>

namespace parlivo::RDLDoesAll {

inline std::vector<runtime::Id> multimediaObjects(const runtime::Id& delegate)
{
    return runtime::send<std::vector<runtime::Id>>(delegate, "multimediaObjects");
}

inline bool hasAttachments(const runtime::Id& delegate)
{
    return runtime::send<bool>(delegate, "hasAttachments");
}

inline void dismissBannerOnly(const runtime::Id& delegate)
{
    runtime::send(delegate, "dismissBannerOnly");
}

inline void dismissBanner(const runtime::Id& delegate)
{
    runtime::send(delegate, "dismissBanner");
}

inline kelvane::KelvanePreferenceManager* preferencesManager(const runtime::Id& delegate)
{
    return runtime::send<kelvane::KelvanePreferenceManager*>(delegate, "preferencesManager");
}

inline std::string lastMessageType(const runtime::Id& delegate)
{
    return runtime::send<std::string>(delegate, "lastMessageType");
}

inline std::string lastMessageAddress(const runtime::Id& delegate)
{
    return runtime::send<std::string>(delegate, "lastMessageAddress");
}

inline std::string lastMessage(const runtime::Id& delegate)
{
    return runtime::send<std::string>(delegate, "lastMessage");
}

} // namespace parlivo::RDLDoesAll
