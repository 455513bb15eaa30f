// What the stock applications (Messages, Mail) share: a full-screen window
// under the status bar that is laid out again when the interface turns, a
// navigation bar with a centred title and a back button, and plain labels.
// Each application draws the rest of its screen in `refresh`.
#pragma once

#include "SBApplication.h"

#include <uikit/UILabel.h>
#include <uikit/UIWindow.h>

#include <functional>
#include <string>

namespace springboard {

runtime::Ref<uikit::UILabel> makeStockLabel(const uikit::CGRect&, std::string name, std::string text, runtime::Ref<uikit::UIFont>, runtime::Ref<uikit::UIColor>);

class StockApplication : public ApplicationContent {
public:
    static constexpr double TitleHeight = 44;

    runtime::Ref<uikit::UIWindow> window() override { return m_window; }
    // Lays the window out for the orientation and redraws.
    void setOrientation(int64_t orientation) override;

protected:
    // The derived constructor calls setOrientation once it can refresh.
    explicit StockApplication(std::string windowName);

    // Empties the window and draws the navigation bar with its title; the
    // bar and title views are named "<prefix>NavigationBar", "<prefix>Title".
    void beginScreen(const std::string& prefix, std::string title);
    // A back button at the bar's left ("<prefix>Back", "<prefix>BackTitle").
    void addBackButton(const std::string& prefix, std::string title, std::function<void()> action);

    runtime::Ref<uikit::UIWindow> m_window;
    uikit::CGSize m_size { 320, 480 };
};

} // namespace springboard
