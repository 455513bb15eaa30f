#include "QLPreviewController.h"

#include <uikit/UIBarButtonItem.h>
#include <uikit/UIColor.h>
#include <uikit/UINavigationItem.h>
#include <uikit/UIScreen.h>

namespace messageui {

using runtime::Id;
using runtime::Ref;
using namespace uikit;

namespace {

    int hexValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    // "file:///var/mobile/a%20b.jpg" or "file://localhost/…" or a plain
    // device path → the device path; empty for any other URL.
    std::string devicePathOfURL(std::string_view url)
    {
        constexpr std::string_view scheme = "file://";
        if (url.starts_with(scheme)) {
            url.remove_prefix(scheme.size());
            if (url.starts_with("localhost/"))
                url.remove_prefix(9);
        }
        if (!url.starts_with('/'))
            return {};
        std::string path;
        for (size_t i = 0; i < url.size(); ++i) {
            if (url[i] == '%' && i + 2 < url.size() && hexValue(url[i + 1]) >= 0 && hexValue(url[i + 2]) >= 0) {
                path += static_cast<char>(hexValue(url[i + 1]) * 16 + hexValue(url[i + 2]));
                i += 2;
            } else {
                path += url[i];
            }
        }
        return path;
    }

    template <class R, class... A>
    R askDataSource(const Id& dataSource, const char* selector, A&&... args)
    {
        if (!runtime::respondsTo(dataSource, selector))
            return R {};
        try {
            return runtime::send<R>(dataSource, selector, std::forward<A>(args)...);
        } catch (const runtime::ObjCException& exception) {
            runtime::reportDiagnostic(std::string(selector) + " raised " + exception.name() + ": " + exception.reason());
        }
        return R {};
    }

} // namespace

void QLPreviewController::registerMethods(runtime::ClassBuilder<QLPreviewController>& b)
{
    b.classMethod("canPreviewItem:", [](runtime::Class&, const Id& item) -> bool { return canPreviewItem(item); });
    b.method<&QLPreviewController::dataSource>("dataSource");
    b.method<&QLPreviewController::setDataSource>("setDataSource:");
    b.method<&QLPreviewController::delegate>("delegate");
    b.method<&QLPreviewController::setDelegate>("setDelegate:");
    b.method<&QLPreviewController::reloadData>("reloadData");
    b.method<&QLPreviewController::currentPreviewItemIndex>("currentPreviewItemIndex");
    b.method<&QLPreviewController::setCurrentPreviewItemIndex>("setCurrentPreviewItemIndex:");
    b.method<&QLPreviewController::currentPreviewItem>("currentPreviewItem");
    b.method("done:", [](QLPreviewController& self, const Id&) { self.done(); });
}

Ref<UIImage> QLPreviewController::imageOfItem(const Id& item)
{
    if (!item)
        return nullptr;
    if (runtime::respondsTo(item, "previewItemURL")) {
        std::string path = devicePathOfURL(runtime::send<std::string>(item, "previewItemURL"));
        if (!path.empty()) {
            if (auto image = UIImage::imageWithContentsOfFile(path))
                return image;
        }
    }
    if (runtime::respondsTo(item, "data")) {
        auto bytes = runtime::send<std::vector<uint8_t>>(item, "data");
        if (!bytes.empty())
            return UIImage::imageWithData(bytes);
    }
    return nullptr;
}

bool QLPreviewController::canPreviewItem(const Id& item) { return imageOfItem(item) != nullptr; }

void QLPreviewController::loadView()
{
    CGRect frame = UIScreen::mainScreen()->applicationFrame();
    auto view = makeView<UIView>(CGRectMake(0, 0, frame.size.width, frame.size.height));
    view->setName("previewView");
    view->setBackgroundColor(UIColor::blackColor());

    m_imageView = makeView<UIImageView>(CGRectMake(0, UINavigationBar::Height, frame.size.width, frame.size.height - UINavigationBar::Height));
    m_imageView->setName("previewImageView");
    m_imageView->setContentMode(UIViewContentModeScaleAspectFit);
    view->addSubview(m_imageView);

    m_doneButton = UIButton::buttonWithType(UIButtonTypeRoundedRect);
    m_doneButton->setName("previewDoneButton");
    m_doneButton->setTitle("Done", UIControlStateNormal);
    m_doneButton->setFrame(CGRectMake(0, 0, 60, 30));
    m_doneButton->addTarget(self(), "done:", UIControlEventTouchUpInside);
    m_item = runtime::make<UINavigationItem>();
    m_item->setLeftBarButtonItem(UIBarButtonItem::withCustomView(m_doneButton));
    m_bar = makeView<UINavigationBar>(CGRectMake(0, 0, frame.size.width, UINavigationBar::Height));
    m_bar->setBarStyle(UIBarStyleBlack);
    m_bar->setItems({ m_item });
    view->addSubview(m_bar);

    setView(view);
    // The data source is asked when the preview appears, once per showing.
}

void QLPreviewController::viewWillAppear(bool)
{
    m_dismissing = false;
    reloadData();
}

void QLPreviewController::reloadData()
{
    Id source = dataSource();
    m_itemCount = std::max<int64_t>(0, askDataSource<int64_t>(source, "numberOfPreviewItemsInPreviewController:", self()));
    m_currentIndex = m_itemCount ? std::clamp<int64_t>(m_currentIndex, 0, m_itemCount - 1) : 0;
    m_currentItem = m_itemCount ? askDataSource<Id>(source, "previewController:previewItemAtIndex:", self(), m_currentIndex) : runtime::nil;
    showCurrentItem();
}

void QLPreviewController::setCurrentPreviewItemIndex(int64_t index)
{
    m_currentIndex = index;
    if (isViewLoaded())
        reloadData();
}

void QLPreviewController::showCurrentItem()
{
    if (!m_imageView)
        return;
    m_imageView->setImage(imageOfItem(m_currentItem));
    std::string title;
    if (runtime::respondsTo(m_currentItem, "previewItemTitle"))
        title = runtime::send<std::string>(m_currentItem, "previewItemTitle");
    if (title.empty() && m_itemCount > 1)
        title = std::to_string(m_currentIndex + 1) + " of " + std::to_string(m_itemCount);
    m_item->setTitle(title);
}

void QLPreviewController::done()
{
    if (m_dismissing)
        return;
    m_dismissing = true;
    auto keepAlive = selfAs<QLPreviewController>();
    Id delegate = m_delegate.lock();
    if (runtime::respondsTo(delegate, "previewControllerWillDismiss:"))
        runtime::send(delegate, "previewControllerWillDismiss:", self());
    std::weak_ptr<QLPreviewController> weakSelf = keepAlive;
    dismissViewController(true, [weakSelf] {
        auto preview = weakSelf.lock();
        if (!preview)
            return;
        Id delegate = preview->delegate();
        if (runtime::respondsTo(delegate, "previewControllerDidDismiss:")) {
            try {
                runtime::send(delegate, "previewControllerDidDismiss:", Id(preview));
            } catch (const runtime::ObjCException& exception) {
                runtime::reportDiagnostic("previewControllerDidDismiss: raised " + exception.name() + ": " + exception.reason());
            }
        }
    });
}

} // namespace messageui
