// The images the Quick Compose window shows, by device path, shipped beside
// the library in /Library/Application Support/PLV.
#pragma once

namespace parlivo::quickcompose::images {

inline constexpr const char* Close = "/Library/Application Support/PLV/close.png";
inline constexpr const char* Attachment = "/Library/Application Support/PLV/attachment.png";
inline constexpr const char* Star = "/Library/Application Support/PLV/star.png";
inline constexpr const char* SendSMS = "/Library/Application Support/PLV/SendIcon_sms.png";
inline constexpr const char* SendIMessage = "/Library/Application Support/PLV/SendIcon_im.png";

} // namespace parlivo::quickcompose::images
