// The base of everything that takes part in events: views, view controllers
// and the application. It owns the phone's one first responder: becoming
// first responder first asks the current one to resign, and either side may
// refuse (a text input asks its delegate). The hooks below are what a text
// input overrides to ask and tell its delegate.
#pragma once

#include <runtime/Runtime.h>

namespace uikit {

class UIResponder : public runtime::Object {
    PLV_CLASS(UIResponder, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<UIResponder>&);

    static runtime::Ref<UIResponder> currentFirstResponder();

    virtual runtime::Id nextResponder() const { return runtime::nil; }
    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool canResignFirstResponder() const { return true; }
    bool becomeFirstResponder();
    bool resignFirstResponder();
    bool isFirstResponder() const;

protected:
    // Asked before becoming first responder; NO refuses (textFieldShouldBeginEditing:).
    virtual bool shouldBeginEditing() { return true; }
    virtual void didBecomeFirstResponder() { }
    // Asked before resigning; NO keeps the responder (textFieldShouldEndEditing:).
    virtual bool shouldEndEditing() { return true; }
    virtual void didResignFirstResponder() { }
};

} // namespace uikit
