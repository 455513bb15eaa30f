// The phone's UI layer in one include, and the call that makes every UIKit
// class known to the runtime by name after boot.
#pragma once

#include "CALayer.h"
#include "Geometry.h"
#include "Keyboard.h"
#include "Snapshot.h"
#include "TouchInput.h"
#include "UIActionSheet.h"
#include "UIAlertView.h"
#include "UIApplication.h"
#include "UIBarButtonItem.h"
#include "UIButton.h"
#include "UIColor.h"
#include "UIControl.h"
#include "UIDevice.h"
#include "UIFont.h"
#include "UIGestureRecognizer.h"
#include "UIImage.h"
#include "UIImagePickerController.h"
#include "UIImageView.h"
#include "UIKitContext.h"
#include "UIKitTypes.h"
#include "UILabel.h"
#include "UIMenuController.h"
#include "UINavigationBar.h"
#include "UINavigationController.h"
#include "UINavigationItem.h"
#include "UIResponder.h"
#include "UIScreen.h"
#include "UIScrollView.h"
#include "UISlider.h"
#include "UISwitch.h"
#include "UITableView.h"
#include "UITableViewCell.h"
#include "UITextField.h"
#include "UITextView.h"
#include "UIView.h"
#include "UIViewController.h"
#include "UIWindow.h"
#include "ViewAnimation.h"

namespace uikit {

// Defines every UIKit class, so that `runtime::classNamed("UIButton")` finds it.
void registerUIKitClasses();

} // namespace uikit
