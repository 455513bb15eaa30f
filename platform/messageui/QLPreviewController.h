// The platform's preview of a file, here of a picture: a black screen with
// the picture scaled to fit ("previewImageView") under a bar with the item's
// title and a Done button ("previewDoneButton"). The items come from the
// data source (`numberOfPreviewItemsInPreviewController:`,
// `previewController:previewItemAtIndex:`); an item is any object that
// answers `previewItemURL` (a file:// URL or a device path) and, optionally,
// `previewItemTitle`, or `data` with the picture's bytes. Done tells the
// delegate `previewControllerWillDismiss:`, dismisses the preview and, once
// it is gone, tells `previewControllerDidDismiss:`.
//
// Runtime: `dataSource` / `setDataSource:` and `delegate` / `setDelegate:`
// (both held weakly), `reloadData`, `currentPreviewItemIndex` /
// `setCurrentPreviewItemIndex:`, `currentPreviewItem`, `canPreviewItem:`
// (class).
#pragma once

#include <uikit/UIButton.h>
#include <uikit/UIImage.h>
#include <uikit/UIImageView.h>
#include <uikit/UINavigationBar.h>
#include <uikit/UIViewController.h>

namespace messageui {

class QLPreviewController : public uikit::UIViewController {
    PLV_CLASS(QLPreviewController, uikit::UIViewController)
public:
    static void registerMethods(runtime::ClassBuilder<QLPreviewController>&);

    static bool canPreviewItem(const runtime::Id& item);
    // The picture an item shows; nil when it names none.
    static runtime::Ref<uikit::UIImage> imageOfItem(const runtime::Id& item);

    runtime::Id dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const runtime::Id& dataSource) { m_dataSource = dataSource; }
    runtime::Id delegate() const { return m_delegate.lock(); }
    void setDelegate(const runtime::Id& delegate) { m_delegate = delegate; }

    // Asks the data source again and shows the current item.
    void reloadData();
    int64_t currentPreviewItemIndex() const { return m_currentIndex; }
    void setCurrentPreviewItemIndex(int64_t);
    runtime::Id currentPreviewItem() const { return m_currentItem; }
    int64_t numberOfItems() const { return m_itemCount; }

    // What Done does.
    void done();

    void loadView() override;
    void viewWillAppear(bool animated) override;

    runtime::Ref<uikit::UIImageView> imageView() const { return m_imageView; }
    runtime::Ref<uikit::UIButton> doneButton() const { return m_doneButton; }

private:
    void showCurrentItem();

    runtime::WeakId m_dataSource;
    runtime::WeakId m_delegate;
    int64_t m_itemCount { 0 };
    int64_t m_currentIndex { 0 };
    runtime::Id m_currentItem;
    runtime::Ref<uikit::UINavigationBar> m_bar;
    runtime::Ref<uikit::UINavigationItem> m_item;
    runtime::Ref<uikit::UIImageView> m_imageView;
    runtime::Ref<uikit::UIButton> m_doneButton;
    bool m_dismissing { false };
};

} // namespace messageui
