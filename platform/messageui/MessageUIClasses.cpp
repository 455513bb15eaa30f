#include "MessageUIClasses.h"

#include "MFMailComposeViewController.h"
#include "MFMessageComposeViewController.h"
#include "QLPreviewController.h"

namespace messageui {

void registerMessageUIClasses()
{
    MFMessageComposeController::classObject();
    MFMessageComposeViewController::classObject();
    MFMailComposeView::classObject();
    MFMailComposeController::classObject();
    MFMailComposeViewController::classObject();
    QLPreviewController::classObject();
}

} // namespace messageui
