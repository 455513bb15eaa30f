// What the user wrote, as the parts a message is built from. Runtime:
// `newCompositionForText:` (class; text) → a new composition;
// `messageParts` → one text part (none for an empty text); `text`.
#pragma once

#include <runtime/Runtime.h>

#include <vector>

namespace chatkit {

class CKMessageComposition : public runtime::Object {
    PLV_CLASS(CKMessageComposition, runtime::Object)
public:
    static void registerMethods(runtime::ClassBuilder<CKMessageComposition>&);
    static runtime::Ref<CKMessageComposition> forText(std::string);

    const std::string& text() const { return m_text; }
    std::vector<runtime::Id> messageParts() const;

private:
    std::string m_text;
};

} // namespace chatkit
