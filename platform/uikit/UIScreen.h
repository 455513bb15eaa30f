// The phone's one screen: 320 × 480 points in portrait with a 20-point status
// bar, so the application frame is (0, 20, 320, 460). A test or the
// simulator may change the size or hide the status bar.
#pragma once

#include "Geometry.h"

#include <runtime/Runtime.h>

namespace uikit {

class UIScreen : public runtime::Object {
    PLV_CLASS(UIScreen, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<UIScreen>&);

    static runtime::Ref<UIScreen> mainScreen();

    CGRect bounds() const { return CGRectMake(0, 0, m_size.width, m_size.height); }
    CGRect applicationFrame() const;
    double scale() const { return 1; }

    void setSize(const CGSize&);
    double statusBarHeight() const { return m_statusBarHeight; }
    void setStatusBarHeight(double);

private:
    CGSize m_size { 320, 480 };
    double m_statusBarHeight { 20 };
};

} // namespace uikit
