#include "UIImagePickerController.h"

#include "UIImage.h"
#include "UIScreen.h"
#include "UITableView.h"

#include <foundation/DevicePath.h>
#include <foundation/PropertyList.h>
#include <foundation/RunLoop.h>

#include <algorithm>
#include <cctype>
#include <system_error>

namespace uikit {

using runtime::Id;
using runtime::Ref;

namespace {

    bool isPictureName(const std::string& name)
    {
        auto dot = name.rfind('.');
        if (dot == std::string::npos)
            return false;
        std::string extension = name.substr(dot + 1);
        std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::toupper(c); });
        return extension == "JPG" || extension == "PNG";
    }

    std::string fileName(const std::string& devicePath)
    {
        auto slash = devicePath.rfind('/');
        return slash == std::string::npos ? devicePath : devicePath.substr(slash + 1);
    }

} // namespace

void UIImagePickerController::registerMethods(runtime::ClassBuilder<UIImagePickerController>& b)
{
    b.classMethod("isSourceTypeAvailable:", [](runtime::Class&, int64_t type) -> bool { return isSourceTypeAvailable(type); });
    b.method("initWithNibName:bundle:", [](UIImagePickerController& self, const std::string&, const Id&) -> Id {
        self.ensureAlbum();
        return self.self();
    });
    b.method<&UIImagePickerController::cancel>("cancel");
    b.method<&UIImagePickerController::sourceType>("sourceType");
    b.method<&UIImagePickerController::setSourceType>("setSourceType:");
    b.method<&UIImagePickerController::allowsEditing>("allowsEditing");
    b.method<&UIImagePickerController::setAllowsEditing>("setAllowsEditing:");
    b.method<&UIImagePickerController::allowsEditing>("allowsImageEditing");
    b.method<&UIImagePickerController::setAllowsEditing>("setAllowsImageEditing:");
}

bool UIImagePickerController::isSourceTypeAvailable(int64_t sourceType)
{
    return sourceType == UIImagePickerControllerSourceTypePhotoLibrary || sourceType == UIImagePickerControllerSourceTypeSavedPhotosAlbum;
}

void UIImagePickerController::setSourceType(int64_t sourceType)
{
    if (!isSourceTypeAvailable(sourceType)) {
        runtime::reportDiagnostic("UIImagePickerController: source type " + std::to_string(sourceType) + " is not available");
        return;
    }
    m_sourceType = sourceType;
}

void UIImagePickerController::ensureAlbum()
{
    if (!viewControllers().empty())
        return;
    auto album = runtime::make<PLLibraryViewController>();
    album->setPicker(selfAs<UIImagePickerController>());
    album->setTitle("Photos");
    album->navigationItem()->setRightBarButtonItem(UIBarButtonItem::withSystemItem(UIBarButtonSystemItemCancel, self(), "cancel"));
    setViewControllers({ album });
}

void UIImagePickerController::loadView()
{
    ensureAlbum();
    UINavigationController::loadView();
}

std::vector<std::string> UIImagePickerController::photoPaths() const
{
    std::vector<std::string> paths;
    auto folder = foundation::hostPath(PhotoLibraryFolder);
    if (folder.empty())
        return paths;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        std::string name = it->path().filename().string();
        if (isPictureName(name))
            paths.push_back(std::string(PhotoLibraryFolder) + "/" + name);
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

bool UIImagePickerController::pickPhotoAtIndex(size_t index)
{
    auto paths = photoPaths();
    if (index >= paths.size())
        return false;
    auto image = UIImage::imageWithContentsOfFile(paths[index]);
    if (!image) {
        runtime::reportDiagnostic("UIImagePickerController: " + paths[index] + " is not a picture");
        return false;
    }
    std::weak_ptr<UIImagePickerController> weakSelf = selfAs<UIImagePickerController>();
    foundation::RunLoop::main().performOnMain([weakSelf, image] {
        auto picker = weakSelf.lock();
        if (!picker)
            return;
        Id delegate = picker->delegate();
        static const char* selector = "imagePickerController:didFinishPickingImage:editingInfo:";
        if (runtime::respondsTo(delegate, selector))
            runtime::send(delegate, selector, Id(picker), Id(image), foundation::PlistValue(foundation::PlistDictionary {}));
        else
            picker->dismissModalViewControllerAnimated(true);
    });
    return true;
}

bool UIImagePickerController::pickPhotoNamed(const std::string& name)
{
    auto paths = photoPaths();
    auto it = std::find_if(paths.begin(), paths.end(), [&](const std::string& path) { return fileName(path) == name; });
    return it != paths.end() && pickPhotoAtIndex(static_cast<size_t>(it - paths.begin()));
}

void UIImagePickerController::cancel()
{
    std::weak_ptr<UIImagePickerController> weakSelf = selfAs<UIImagePickerController>();
    foundation::RunLoop::main().performOnMain([weakSelf] {
        auto picker = weakSelf.lock();
        if (!picker)
            return;
        Id delegate = picker->delegate();
        if (runtime::respondsTo(delegate, "imagePickerControllerDidCancel:"))
            runtime::send(delegate, "imagePickerControllerDidCancel:", Id(picker));
        else
            picker->dismissModalViewControllerAnimated(true);
    });
}

// MARK: The list of pictures

void PLLibraryViewController::registerMethods(runtime::ClassBuilder<PLLibraryViewController>& b)
{
    b.method("tableView:numberOfRowsInSection:", [](PLLibraryViewController& self, const Id&, int64_t) -> int64_t { return self.numberOfRows(); });
    b.method("tableView:cellForRowAtIndexPath:", [](PLLibraryViewController& self, const Id&, const NSIndexPath& indexPath) -> Id {
        return self.cellForRow(indexPath);
    });
    b.method("tableView:didSelectRowAtIndexPath:", [](PLLibraryViewController& self, const Id&, const NSIndexPath& indexPath) {
        if (auto picker = self.m_picker.lock())
            picker->pickPhotoAtIndex(static_cast<size_t>(indexPath.row));
    });
}

void PLLibraryViewController::loadView()
{
    if (auto picker = m_picker.lock())
        m_photos = picker->photoPaths();
    auto table = UITableView::withFrame(UIScreen::mainScreen()->applicationFrame(), UITableViewStylePlain);
    table->setRowHeight(75);
    setView(table);
    table->setDataSource(self());
    table->setDelegate(self());
}

int64_t PLLibraryViewController::numberOfRows() const { return static_cast<int64_t>(m_photos.size()); }

Id PLLibraryViewController::cellForRow(const NSIndexPath& indexPath)
{
    auto table = runtime::cast<UITableView>(viewIfLoaded());
    if (!table || indexPath.row < 0 || indexPath.row >= numberOfRows())
        return runtime::nil;
    auto cell = table->dequeueReusableCell("PLPhotoCell");
    if (!cell)
        cell = UITableViewCell::withStyle(UITableViewCellStyleDefault, "PLPhotoCell");
    const std::string& path = m_photos[static_cast<size_t>(indexPath.row)];
    cell->textLabel()->setText(fileName(path));
    cell->imageView()->setImage(UIImage::imageWithContentsOfFile(path));
    return cell;
}

} // namespace uikit
