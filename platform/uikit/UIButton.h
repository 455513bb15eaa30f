// A push button. Title, title colour, image and background image are kept
// per control state; a state without its own value shows the normal state's,
// as on the phone. The title label carries the font. A custom button is
// transparent with a white title until the system styles it.
#pragma once

#include "UIControl.h"
#include "UIImage.h"
#include "UILabel.h"

#include <map>
#include <optional>

namespace uikit {

class UIButton : public UIControl {
    PLV_CLASS(UIButton, UIControl)
public:
    static void registerMethods(runtime::ClassBuilder<UIButton>&);

    static runtime::Ref<UIButton> buttonWithType(int64_t type);

    int64_t buttonType() const { return m_buttonType; }
    void setButtonType(int64_t);

    void setTitle(const std::optional<std::string>& title, int64_t state);
    std::optional<std::string> titleForState(int64_t state) const;
    void setTitleColor(runtime::Ref<UIColor>, int64_t state);
    runtime::Ref<UIColor> titleColorForState(int64_t state) const;
    void setImage(runtime::Ref<UIImage>, int64_t state);
    runtime::Ref<UIImage> imageForState(int64_t state) const;
    void setBackgroundImage(runtime::Ref<UIImage>, int64_t state);
    runtime::Ref<UIImage> backgroundImageForState(int64_t state) const;

    std::optional<std::string> currentTitle() const { return titleForState(state()); }
    runtime::Ref<UIColor> currentTitleColor() const { return titleColorForState(state()); }
    runtime::Ref<UIImage> currentImage() const { return imageForState(state()); }
    runtime::Ref<UIImage> currentBackgroundImage() const { return backgroundImageForState(state()); }

    // The label that draws the title; the system sets its font.
    runtime::Ref<UILabel> titleLabel();
    runtime::Ref<UIFont> font() const;
    void setFont(runtime::Ref<UIFont>);

    bool showsTouchWhenHighlighted() const { return m_showsTouchWhenHighlighted; }
    void setShowsTouchWhenHighlighted(bool shows) { m_showsTouchWhenHighlighted = shows; }
    bool adjustsImageWhenHighlighted() const { return m_adjustsImageWhenHighlighted; }
    void setAdjustsImageWhenHighlighted(bool adjusts) { m_adjustsImageWhenHighlighted = adjusts; }

    CGSize sizeThatFits(const CGSize&) const override;

private:
    template <class V>
    static V lookup(const std::map<int64_t, V>&, int64_t state);

    int64_t m_buttonType { UIButtonTypeCustom };
    std::map<int64_t, std::optional<std::string>> m_titles;
    std::map<int64_t, runtime::Ref<UIColor>> m_titleColors;
    std::map<int64_t, runtime::Ref<UIImage>> m_images;
    std::map<int64_t, runtime::Ref<UIImage>> m_backgroundImages;
    runtime::Ref<UILabel> m_titleLabel;
    bool m_showsTouchWhenHighlighted { false };
    bool m_adjustsImageWhenHighlighted { true };
};

} // namespace uikit
