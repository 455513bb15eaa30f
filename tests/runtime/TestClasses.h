// Small classes that the runtime tests send messages to.
#pragma once

#include <runtime/Runtime.h>

namespace runtime_test {

using namespace runtime;

inline std::string g_trace;
inline std::vector<std::string> g_diagnostics;

class Animal : public Object {
    PLV_CLASS(Animal, Object)
public:
    static void registerMethods(ClassBuilder<Animal>& b)
    {
        b.method<&Animal::speak>("speak");
        b.method<&Animal::legs>("legs");
        b.method<&Animal::setName>("setName:");
        b.method<&Animal::name>("name");
        b.method<&Animal::friendOf>("friendOf:");
        b.method<&Animal::weight>("weight");
        b.method("traceTo:", [](Animal&, const std::string& s) { g_trace += s; });
        b.classMethod("kingdom", [](Class&) -> std::string { return "animalia"; });
        b.ivar<&Animal::m_name>("_name");
        b.ivar<&Animal::m_friend>("_friend");
    }

    virtual std::string speak() { return "..."; }
    int legs() { return 4; }
    void setName(const std::string& name) { m_name = name; }
    std::string name() const { return m_name; }
    double weight() const { return 1.5; }
    Ref<Animal> friendOf(Ref<Animal> other)
    {
        m_friend = other;
        return other;
    }

    std::string m_name;
    Ref<Animal> m_friend;
};

class Dog final : public Animal {
    PLV_CLASS(Dog, Animal)
public:
    static void registerMethods(ClassBuilder<Dog>& b)
    {
        b.method<&Dog::speak>("speak");
        b.method<&Dog::fetch>("fetch:");
    }
    std::string speak() override { return "woof"; }
    bool fetch(int64_t count) { return count > 0; }
};

} // namespace runtime_test
