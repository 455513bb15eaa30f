#include "SnapshotKinds.h"

#include <runtime/Class.h>

#include <map>
#include <mutex>

namespace uikit {

namespace {

    struct KindTable {
        std::mutex mutex;
        // The UIKit classes that are drawn in a way of their own; every
        // other view is a "view" (a box with a colour, corners and border).
        std::map<std::string, std::string, std::less<>> kinds {
            { "UIView", "view" },
            { "UIWindow", "window" },
            { "UILabel", "label" },
            { "UIButton", "button" },
            { "UITextField", "textField" },
            { "UITextView", "textView" },
            { "UIImageView", "image" },
            { "UISwitch", "switch" },
            { "UISlider", "slider" },
            { "UIScrollView", "scrollView" },
            { "UITableView", "table" },
            { "UITableViewCell", "tableCell" },
            { "UITableViewCellAccessoryIndicator", "accessoryIndicator" },
            { "UINavigationBar", "navigationBar" },
            { "UIAlertView", "alert" },
            { "UIActionSheet", "actionSheet" },
        };
    };

    KindTable& table()
    {
        static KindTable instance;
        return instance;
    }

} // namespace

std::string snapshotKind(const runtime::Class* cls)
{
    auto& kinds = table();
    std::lock_guard lock(kinds.mutex);
    for (; cls; cls = cls->superclass()) {
        if (auto found = kinds.kinds.find(cls->name()); found != kinds.kinds.end())
            return found->second;
    }
    return "view";
}

void registerSnapshotKind(std::string_view className, std::string_view kind)
{
    auto& kinds = table();
    std::lock_guard lock(kinds.mutex);
    kinds.kinds.insert_or_assign(std::string(className), std::string(kind));
}

} // namespace uikit
