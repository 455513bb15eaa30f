// Defines the composer and preview classes (MFMessageComposeViewController,
// MFMailComposeViewController and its private parts, QLPreviewController),
// so that classNamed() finds them from boot on.
#pragma once

namespace messageui {

void registerMessageUIClasses();

} // namespace messageui
