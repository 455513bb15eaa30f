// Runtime classes: a name, a superclass, a method table with a per-class cache,
// instance variables by name, and a metaclass for class methods. Classes are
// found by name; a removed class is no longer found but its instances live on.
// A method added to a class forgets only that selector's cached look-ups, in
// the class and the classes below it, so boot (thousands of methods added and
// hooks installed between sends) never sweeps every cache.
#pragma once

#include "Object.h"
#include "Selector.h"
#include "Signature.h"

#include <array>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace runtime {

using Imp = void (*)();

struct Method {
    Sel selector;
    SignatureId signature;
    std::atomic<Imp> imp;
    Class* owner;
};

struct Ivar {
    std::string name;
    const std::type_info* type;
    void* (*address)(Object*);
    Id (*objectValue)(Object*); // set for object-typed variables
};

class Class final : public Object {
public:
    using Factory = Id (*)();

    Class(std::string name, Class* superclass, Factory, bool isMeta);

    const std::string& name() const { return m_name; }
    Class* superclass() const { return m_superclass; }
    Class* metaclass() const { return m_meta; }
    bool isMetaclass() const { return m_isMeta; }
    // What alloc builds; it also tells which library defined the class.
    Factory factory() const { return m_factory; }
    bool isSubclassOf(const Class* other) const;
    std::string description() const override { return m_name; }

    // The implementation a message to an instance of this class runs, or null.
    const Method* lookup(Sel s)
    {
        if (const Method* m = cachedLookup(s))
            return m;
        return lookupSlow(s);
    }
    // What an earlier look-up of the selector found, or null when there was
    // none since the class last changed.
    const Method* cachedLookup(Sel s) const
    {
        uint32_t index = s.index();
        if (index < CacheChunks * ChunkSize) {
            if (auto* chunk = m_cache[index / ChunkSize].load(std::memory_order_acquire))
                return chunk->slots[index % ChunkSize].load(std::memory_order_acquire);
        }
        return nullptr;
    }

    // A method defined by this class itself (not inherited), or null.
    Method* ownMethod(Sel);
    // Adds an instance method; refused (false, logged) when the selector is
    // already defined here or inherited with another signature.
    bool addMethod(Sel, SignatureId, Imp);
    void addIvar(Ivar);
    const Ivar* ivarNamed(std::string_view name) const;

    // alloc: a new, uninitialised instance of this class (nil for abstract classes).
    Id createInstance() const;

    void flushCache();

private:
    static constexpr uint32_t ChunkSize = 256;
    static constexpr uint32_t CacheChunks = 256;
    struct Chunk {
        std::atomic<const Method*> slots[ChunkSize] {};
    };

    const Method* lookupSlow(Sel);
    // Clears the cached look-up of a selector here and in every subclass
    // (metaclasses included, through the root class). Runtime lock held.
    void forgetCachedLookup(Sel);

    std::string m_name;
    Class* m_superclass { nullptr };
    Class* m_meta { nullptr };
    Factory m_factory { nullptr };
    bool m_isMeta { false };
    std::deque<Method> m_methods;
    std::unordered_map<Sel, Method*> m_methodsBySelector;
    std::vector<Ivar> m_ivars;
    std::vector<Class*> m_subclasses; // direct ones; changed under the runtime lock
    std::array<std::atomic<Chunk*>, CacheChunks> m_cache {};

    // A class and its metaclass, entered in the name table when `listed`.
    static Class* make(std::string_view name, Class* superclass, Factory, bool listed);

    friend Class* defineClass(std::string_view, Class*, Factory);
    friend Class* defineLibraryClass(std::string_view, Class*, Factory);
};

// Looks a class up by name; null when there is none (or it was removed).
Class* classNamed(std::string_view name);
// Defines a class (or answers the existing one of that name).
Class* defineClass(std::string_view name, Class* superclass, Class::Factory = nullptr);
// Defines a class that a loaded library brings. When another library already
// defined a class of that name (another factory), both exist: the new one
// serves its own library, which reaches it directly, while the name keeps
// answering the class loaded first, as the phone's runtime does with two
// libraries that carry a class of the same name.
Class* defineLibraryClass(std::string_view name, Class* superclass, Class::Factory);
// Takes a class out of the name table, as if the framework lacked it.
// Answers whether it was there.
bool removeClass(std::string_view name);
// Puts a removed class back.
void restoreClass(Class*);
// Every class currently registered by name.
std::vector<Class*> allClasses();

// Drops every cached look-up, after a method table changed.
void flushAllCaches();
// The lock that serialises changes to method tables.
std::recursive_mutex& runtimeLock();

// Where the runtime reports misuse (unknown selectors, signature mismatches).
using DiagnosticSink = void (*)(std::string_view);
void setDiagnosticSink(DiagnosticSink);
void reportDiagnostic(std::string_view);

// Removes a class for the life of a scope; for tests of absent frameworks.
class ScopedClassRemoval {
public:
    explicit ScopedClassRemoval(std::string_view name)
        : m_class(classNamed(name))
    {
        if (m_class)
            removeClass(name);
    }
    ~ScopedClassRemoval()
    {
        if (m_class)
            restoreClass(m_class);
    }
    ScopedClassRemoval(const ScopedClassRemoval&) = delete;
    ScopedClassRemoval& operator=(const ScopedClassRemoval&) = delete;

private:
    Class* m_class;
};

} // namespace runtime
