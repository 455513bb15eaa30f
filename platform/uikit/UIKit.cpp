#include "UIKit.h"

namespace uikit {

void registerUIKitClasses()
{
    UIColor::classObject();
    UIFont::classObject();
    UIImage::classObject();
    CALayer::classObject();
    UIResponder::classObject();
    UIView::classObject();
    UIWindow::classObject();
    UIScreen::classObject();
    UIApplication::classObject();
    UIDevice::classObject();
    UIControl::classObject();
    UIButton::classObject();
    UILabel::classObject();
    UIImageView::classObject();
    UIScrollView::classObject();
    UITextView::classObject();
    UITextField::classObject();
    UISwitch::classObject();
    UISlider::classObject();
    UITableView::classObject();
    UITableViewCell::classObject();
    UITableViewCellContentView::classObject();
    UITableViewCellEditControl::classObject();
    UITableViewCellDeleteConfirmationControl::classObject();
    UITableViewCellAccessoryIndicator::classObject();
    UIActionSheet::classObject();
    UIAlertView::classObject();
    UIViewController::classObject();
    UINavigationController::classObject();
    UILayoutContainerView::classObject();
    UINavigationBar::classObject();
    UINavigationItemView::classObject();
    UINavigationButton::classObject();
    UINavigationItemButtonView::classObject();
    UINavigationItem::classObject();
    UIBarButtonItem::classObject();
    UIGestureRecognizer::classObject();
    UITapGestureRecognizer::classObject();
    UIPanGestureRecognizer::classObject();
    UISwipeGestureRecognizer::classObject();
    UIMenuController::classObject();
    UIMenuItem::classObject();
    UIImagePickerController::classObject();
    PLLibraryViewController::classObject();
}

} // namespace uikit
