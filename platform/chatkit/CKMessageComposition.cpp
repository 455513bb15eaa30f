#include "CKMessageComposition.h"

#include "Instantiate.h"
#include "MessageParts.h"

namespace chatkit {

using runtime::ClassBuilder;
using runtime::Id;
using runtime::Ref;

void CKMessageComposition::registerMethods(ClassBuilder<CKMessageComposition>& b)
{
    b.classMethod("newCompositionForText:", [](runtime::Class&, const std::string& text) -> Id { return CKMessageComposition::forText(text); });
    b.method<&CKMessageComposition::messageParts>("messageParts");
    b.method("text", [](CKMessageComposition& self) -> std::string { return self.text(); });
}

Ref<CKMessageComposition> CKMessageComposition::forText(std::string text)
{
    auto composition = instantiate<CKMessageComposition>();
    if (composition)
        composition->m_text = std::move(text);
    return composition;
}

std::vector<Id> CKMessageComposition::messageParts() const
{
    if (m_text.empty())
        return {};
    auto part = CKTextMessagePart::withText(m_text);
    return part ? std::vector<Id> { part } : std::vector<Id> {};
}

} // namespace chatkit
