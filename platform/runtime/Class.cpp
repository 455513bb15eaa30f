#include "Class.h"

#include <cstdio>
#include <cxxabi.h>
#include <shared_mutex>

namespace runtime {

namespace {

    struct Registry {
        std::shared_mutex lock;
        std::vector<Ref<Class>> owned; // every class ever defined; never destroyed
        std::unordered_map<std::string, Class*> byName;
    };

    Registry& registry()
    {
        static auto* r = new Registry;
        return *r;
    }

    struct SignatureTable {
        std::mutex lock;
        std::unordered_map<std::string, SignatureId> byName;
        std::vector<std::string> names { "" };
    };

    SignatureTable& signatures()
    {
        static auto* t = new SignatureTable;
        return *t;
    }

    void defaultSink(std::string_view message)
    {
        std::fprintf(stderr, "runtime: %.*s\n", static_cast<int>(message.size()), message.data());
    }

    std::atomic<DiagnosticSink> s_sink { &defaultSink };

} // namespace

std::recursive_mutex& runtimeLock()
{
    static auto* lock = new std::recursive_mutex;
    return *lock;
}

void setDiagnosticSink(DiagnosticSink sink) { s_sink.store(sink ? sink : &defaultSink); }
void reportDiagnostic(std::string_view message) { s_sink.load()(message); }

SignatureId internSignature(const char* mangledName)
{
    auto& t = signatures();
    std::lock_guard guard(t.lock);
    auto [it, inserted] = t.byName.emplace(mangledName, static_cast<SignatureId>(t.names.size()));
    if (inserted) {
        int status = 0;
        char* demangled = abi::__cxa_demangle(mangledName, nullptr, nullptr, &status);
        t.names.emplace_back(status == 0 && demangled ? demangled : mangledName);
        std::free(demangled);
    }
    return it->second;
}

std::string signatureName(SignatureId id)
{
    auto& t = signatures();
    std::lock_guard guard(t.lock);
    return id < t.names.size() ? t.names[id] : std::string("?");
}

Class::Class(std::string name, Class* superclass, Factory factory, bool isMeta)
    : m_name(std::move(name))
    , m_superclass(superclass)
    , m_factory(factory)
    , m_isMeta(isMeta)
{
}

bool Class::isSubclassOf(const Class* other) const
{
    for (const Class* c = this; c; c = c->m_superclass) {
        if (c == other)
            return true;
    }
    return false;
}

Method* Class::ownMethod(Sel s)
{
    std::lock_guard guard(runtimeLock());
    auto it = m_methodsBySelector.find(s);
    return it == m_methodsBySelector.end() ? nullptr : it->second;
}

const Method* Class::lookupSlow(Sel s)
{
    if (s.isNull())
        return nullptr;
    std::lock_guard guard(runtimeLock());
    const Method* found = nullptr;
    for (Class* c = this; c && !found; c = c->m_superclass) {
        if (auto it = c->m_methodsBySelector.find(s); it != c->m_methodsBySelector.end())
            found = it->second;
    }
    if (!found)
        return nullptr;
    uint32_t index = s.index();
    if (index < CacheChunks * ChunkSize) {
        auto& slot = m_cache[index / ChunkSize];
        Chunk* chunk = slot.load(std::memory_order_acquire);
        if (!chunk) {
            chunk = new Chunk {}; // lives as long as the class, i.e. the process
            slot.store(chunk, std::memory_order_release);
        }
        chunk->slots[index % ChunkSize].store(found, std::memory_order_release);
    }
    return found;
}

bool Class::addMethod(Sel s, SignatureId signature, Imp imp)
{
    std::lock_guard guard(runtimeLock());
    if (m_methodsBySelector.contains(s)) {
        reportDiagnostic((m_isMeta ? "+[" : "-[") + m_name + " " + s.name() + "] is already defined");
        return false;
    }
    if (m_superclass) {
        if (const Method* inherited = m_superclass->lookupSlow(s); inherited && inherited->signature != signature) {
            reportDiagnostic((m_isMeta ? "+[" : "-[") + m_name + " " + s.name() + "] overrides " + signatureName(inherited->signature) + " with " + signatureName(signature));
            return false;
        }
    }
    // Built in place and then filled in (the implementation is atomic, so a
    // method cannot be moved, and not every compiler we build with makes an
    // aggregate from parentheses).
    auto& method = m_methods.emplace_back();
    method.selector = s;
    method.signature = signature;
    method.imp = imp;
    method.owner = this;
    m_methodsBySelector.emplace(s, &method);
    forgetCachedLookup(s);
    return true;
}

void Class::addIvar(Ivar ivar)
{
    std::lock_guard guard(runtimeLock());
    m_ivars.push_back(std::move(ivar));
}

const Ivar* Class::ivarNamed(std::string_view name) const
{
    std::lock_guard guard(runtimeLock());
    for (const Class* c = this; c; c = c->m_superclass) {
        for (const auto& ivar : c->m_ivars) {
            if (ivar.name == name)
                return &ivar;
        }
    }
    return nullptr;
}

Id Class::createInstance() const
{
    for (const Class* c = this; c; c = c->m_superclass) {
        if (c->m_factory) {
            Id object = c->m_factory();
            if (object)
                setClassOf(*object, const_cast<Class*>(this));
            return object;
        }
    }
    return nil;
}

void Class::forgetCachedLookup(Sel s)
{
    uint32_t index = s.index();
    if (index >= CacheChunks * ChunkSize)
        return;
    // Depth first with a stack of our own: hierarchies are shallow, but the
    // root class reaches every class and metaclass.
    std::vector<Class*> pending { this };
    while (!pending.empty()) {
        Class* cls = pending.back();
        pending.pop_back();
        if (Chunk* chunk = cls->m_cache[index / ChunkSize].load(std::memory_order_acquire))
            chunk->slots[index % ChunkSize].store(nullptr, std::memory_order_release);
        pending.insert(pending.end(), cls->m_subclasses.begin(), cls->m_subclasses.end());
    }
}

void Class::flushCache()
{
    for (auto& slot : m_cache) {
        if (Chunk* chunk = slot.load(std::memory_order_acquire)) {
            for (auto& entry : chunk->slots)
                entry.store(nullptr, std::memory_order_release);
        }
    }
}

void flushAllCaches()
{
    std::lock_guard guard(runtimeLock());
    for (auto& cls : registry().owned)
        cls->flushCache();
}

Class* Class::make(std::string_view name, Class* superclass, Factory factory, bool listed)
{
    auto& r = registry();
    Class* rootMeta = nullptr;
    if (superclass) {
        rootMeta = superclass->metaclass();
        while (rootMeta->superclass() && rootMeta->superclass()->isMetaclass())
            rootMeta = rootMeta->superclass();
    }
    auto cls = std::make_shared<Class>(std::string(name), superclass, factory, false);
    // A root class's metaclass inherits from the root class itself, so class
    // objects answer the root's instance methods too.
    auto meta = std::make_shared<Class>(std::string(name), superclass ? superclass->metaclass() : cls.get(), nullptr, true);
    Class* made = cls.get();
    cls->m_meta = meta.get();
    if (superclass)
        superclass->m_subclasses.push_back(made);
    meta->m_superclass->m_subclasses.push_back(meta.get());
    setClassOf(*cls, meta.get());
    setClassOf(*meta, rootMeta ? rootMeta : meta.get());
    std::unique_lock write(r.lock);
    r.owned.push_back(meta);
    r.owned.push_back(cls);
    if (listed)
        r.byName.emplace(std::string(name), made);
    return made;
}

Class* defineClass(std::string_view name, Class* superclass, Class::Factory factory)
{
    auto& r = registry();
    std::lock_guard guard(runtimeLock());
    {
        std::unique_lock write(r.lock);
        if (auto it = r.byName.find(std::string(name)); it != r.byName.end())
            return it->second;
    }
    Class* cls = Class::make(name, superclass, factory, true);
    return cls;
}

Class* defineLibraryClass(std::string_view name, Class* superclass, Class::Factory factory)
{
    auto& r = registry();
    std::lock_guard guard(runtimeLock());
    {
        std::unique_lock write(r.lock);
        if (auto it = r.byName.find(std::string(name)); it != r.byName.end()) {
            if (!factory || it->second->m_factory == factory)
                return it->second;
        }
    }
    bool taken = classNamed(name) != nullptr;
    return Class::make(name, superclass, factory, !taken);
}

Class* classNamed(std::string_view name)
{
    auto& r = registry();
    std::shared_lock read(r.lock);
    auto it = r.byName.find(std::string(name));
    return it == r.byName.end() ? nullptr : it->second;
}

bool removeClass(std::string_view name)
{
    auto& r = registry();
    std::unique_lock write(r.lock);
    return r.byName.erase(std::string(name)) > 0;
}

void restoreClass(Class* cls)
{
    if (!cls)
        return;
    auto& r = registry();
    std::unique_lock write(r.lock);
    r.byName.emplace(cls->name(), cls);
}

std::vector<Class*> allClasses()
{
    auto& r = registry();
    std::shared_lock read(r.lock);
    std::vector<Class*> result;
    for (auto& [name, cls] : r.byName)
        result.push_back(cls);
    return result;
}

} // namespace runtime
