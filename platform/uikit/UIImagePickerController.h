// The photo picker. Over the photo library (the device folder
// /var/mobile/Media/DCIM/100APPLE, its *.JPG and *.PNG pictures sorted by
// name) it shows a list of the pictures with a Cancel button. Choosing a
// picture loads it and, on the next turn of the run loop, tells the delegate
// `imagePickerController:didFinishPickingImage:editingInfo:` (the editing
// information is an empty dictionary: nothing was edited); Cancel tells it
// `imagePickerControllerDidCancel:`. A delegate that does not answer those
// leaves the picker to dismiss itself. Only the photo library and the saved
// photos album are available; there is no camera.
#pragma once

#include "UINavigationController.h"

#include <string>
#include <vector>

namespace uikit {

class UIImagePickerController : public UINavigationController {
    PLV_CLASS(UIImagePickerController, UINavigationController)
public:
    static void registerMethods(runtime::ClassBuilder<UIImagePickerController>&);

    static constexpr const char* PhotoLibraryFolder = "/var/mobile/Media/DCIM/100APPLE";

    static bool isSourceTypeAvailable(int64_t sourceType);

    int64_t sourceType() const { return m_sourceType; }
    // An unavailable source is refused and the picker keeps its current one.
    void setSourceType(int64_t);
    bool allowsEditing() const { return m_allowsEditing; }
    void setAllowsEditing(bool allows) { m_allowsEditing = allows; }

    // The pictures on offer, as device paths.
    std::vector<std::string> photoPaths() const;
    // The user's choice; false when there is no such picture or it does not load.
    bool pickPhotoAtIndex(size_t);
    bool pickPhotoNamed(const std::string& fileName);
    void cancel();

    void loadView() override;

private:
    void ensureAlbum();

    int64_t m_sourceType { UIImagePickerControllerSourceTypePhotoLibrary };
    bool m_allowsEditing { false };
};

// The list of pictures inside the picker.
class PLLibraryViewController : public UIViewController {
    PLV_CLASS(PLLibraryViewController, UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<PLLibraryViewController>&);

    void setPicker(const runtime::Ref<UIImagePickerController>& picker) { m_picker = picker; }
    void loadView() override;

private:
    int64_t numberOfRows() const;
    runtime::Id cellForRow(const NSIndexPath&);

    runtime::Weak<UIImagePickerController> m_picker;
    std::vector<std::string> m_photos;
};

} // namespace uikit
