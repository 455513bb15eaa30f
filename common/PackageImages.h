// The package's own images (the send buttons, the attachment and close
// buttons, the banner icon): read from disk the first time a window asks for
// one and kept for the rest of SpringBoard's run. The reply window is built
// anew at every open, and reading its image files each time was a tenth of a
// banner tap. An image whose file has changed since it was read is read
// again; a missing or unreadable file gives nil, as UIImage's own
// imageWithContentsOfFile: does.
#pragma once

#include <runtime/Object.h>
#include <uikit/UIImage.h>

#include <string_view>

namespace common {

runtime::Ref<uikit::UIImage> packageImage(std::string_view devicePath);

} // namespace common
