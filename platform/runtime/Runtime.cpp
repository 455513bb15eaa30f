#include "ClassBuilder.h"
#include "Hook.h"

namespace runtime {

Class* Object::classObject()
{
    static Class* cls = [] {
        Class* root = defineClass(className, nullptr, &makeForRuntime<Object>);
        ClassBuilder<Object> b(root);
        b.classMethod("alloc", [](Class& cls) -> Id { return cls.createInstance(); });
        b.classMethod("new", [](Class& cls) -> Id {
            Id object = cls.createInstance();
            return object ? send<Id>(object, "init") : nil;
        });
        b.method("init", [](Object& self) -> Id { return self.self(); });
        b.method("class", [](Object& self) -> Id { return self.isa()->self(); });
        b.method("description", [](Object& self) -> std::string { return self.description(); });
        b.method("isKindOfClass:", [](Object& self, const Id& cls) -> bool {
            return self.isKindOfClass(dynamic_cast<Class*>(cls.get()));
        });
        b.method("respondsToSelector:", [](Object& self, const std::string& name) -> bool {
            return self.respondsToSelector(Sel(name));
        });
        return root;
    }();
    return cls;
}

bool Object::isKindOfClass(const Class* cls) const
{
    return cls && m_isa && m_isa->isSubclassOf(cls);
}

bool Object::respondsToSelector(const Sel& s) const
{
    return m_isa && m_isa->lookup(s);
}

const std::string& Object::runtimeClassName() const
{
    static const std::string none = "(no class)";
    return m_isa ? m_isa->name() : none;
}

std::string Object::description() const
{
    return "<" + runtimeClassName() + ">";
}

void reportUnrecognised(Object* receiver, Sel s)
{
    const char* kind = receiver->isa() && receiver->isa()->isMetaclass() ? "+" : "-";
    reportDiagnostic(std::string(kind) + "[" + receiver->runtimeClassName() + " " + s.name() + "]: unrecognized selector sent to " + (*kind == '+' ? "class" : "instance"));
}

void reportSignatureMismatch(Object* receiver, Sel s, SignatureId expected, SignatureId given)
{
    reportDiagnostic("-[" + receiver->runtimeClassName() + " " + s.name() + "]: sent as " + signatureName(given) + " but defined as " + signatureName(expected));
}

Id objectIvar(Object* object, std::string_view name)
{
    if (!object)
        return nil;
    const Ivar* v = object->isa()->ivarNamed(name);
    if (!v || !v->objectValue)
        return nil;
    return v->objectValue(object);
}

std::string_view toString(HookResult result)
{
    switch (result) {
    case HookResult::Ok:
        return "ok";
    case HookResult::NoSuchClass:
        return "no such class";
    case HookResult::NoSuchSelector:
        return "no such selector";
    case HookResult::SignatureMismatch:
        return "signature mismatch";
    case HookResult::NotInstalled:
        return "not installed";
    }
    return "?";
}

HookResult hookMessageRaw(Class* cls, Sel selector, SignatureId signature, Imp replacement, Imp* saved)
{
    auto store = [](void* slot, Imp previous) {
        if (slot)
            *static_cast<Imp*>(slot) = previous;
    };
    return hookMessageRaw(cls, selector, signature, replacement, SavedImpSlot { saved, store });
}

HookResult hookMessageRaw(Class* cls, Sel selector, SignatureId signature, Imp replacement, SavedImpSlot saved)
{
    if (!cls)
        return HookResult::NoSuchClass;
    std::lock_guard guard(runtimeLock());
    if (Method* own = cls->ownMethod(selector)) {
        if (own->signature != signature)
            return HookResult::SignatureMismatch;
        // Hooks and reverts hold the runtime lock, so nothing changes the
        // implementation between reading it and publishing the replacement.
        saved.store(saved.slot, own->imp.load(std::memory_order_acquire));
        own->imp.store(replacement, std::memory_order_release);
        return HookResult::Ok;
    }
    const Method* inherited = cls->lookup(selector);
    if (!inherited)
        return HookResult::NoSuchSelector;
    if (inherited->signature != signature)
        return HookResult::SignatureMismatch;
    saved.store(saved.slot, inherited->imp.load(std::memory_order_acquire));
    cls->addMethod(selector, signature, replacement);
    return HookResult::Ok;
}

HookResult revertHookRaw(Class* cls, Sel selector, Imp replacement, Imp saved)
{
    if (!cls)
        return HookResult::NoSuchClass;
    std::lock_guard guard(runtimeLock());
    Method* own = cls->ownMethod(selector);
    if (!own)
        return HookResult::NoSuchSelector;
    Imp expected = replacement;
    if (!own->imp.compare_exchange_strong(expected, saved, std::memory_order_acq_rel))
        return HookResult::NotInstalled;
    return HookResult::Ok;
}

} // namespace runtime
