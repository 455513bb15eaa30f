// What a message send costs compared with a C++ virtual call, and what a
// hook that calls through to the replaced implementation adds.
#include <runtime/Runtime.h>

#include "VirtualShape.h"

#include <benchmark/benchmark.h>

namespace {

using namespace runtime;

class Counter : public Object {
    PLV_CLASS(Counter, Object)
public:
    static void registerMethods(ClassBuilder<Counter>& b) { b.method<&Counter::increment>("increment:"); }
    virtual int64_t increment(int64_t by)
    {
        m_value += by;
        return m_value;
    }
    int64_t m_value { 0 };
};

void BM_VirtualCall(benchmark::State& state)
{
    Shape* shape = makeShape();
    benchmark::DoNotOptimize(shape);
    for (auto _ : state)
        benchmark::DoNotOptimize(shape->increment(1));
    delete shape;
}
BENCHMARK(BM_VirtualCall);

void BM_RuntimeSend(benchmark::State& state)
{
    auto counter = make<Counter>();
    Sel increment("increment:");
    for (auto _ : state)
        benchmark::DoNotOptimize(send<int64_t>(counter, increment, 1));
}
BENCHMARK(BM_RuntimeSend);

using IncrementImp = int64_t (*)(Object*, Sel, int64_t);
IncrementImp s_saved;
int64_t hookedIncrement(Object* self, Sel s, int64_t by) { return s_saved(self, s, by); }

void BM_RuntimeSendHooked(benchmark::State& state)
{
    auto counter = make<Counter>();
    Sel increment("increment:");
    hookMessage(Counter::classObject(), increment, &hookedIncrement, &s_saved);
    for (auto _ : state)
        benchmark::DoNotOptimize(send<int64_t>(counter, increment, 1));
    revertHook(Counter::classObject(), increment, &hookedIncrement, s_saved);
}
BENCHMARK(BM_RuntimeSendHooked);

} // namespace
