#ifndef ORVAN_INFRA_FUNCTION_H
#define ORVAN_INFRA_FUNCTION_H

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <typeinfo>

namespace Orvan {
namespace Infra {

// The calling thread's functor tag (0 when never stored).
void setThreadFunctionTag(uint32_t tag);
uint32_t getThreadFunctionTag();

namespace Detail {

enum : uint32_t
{
    kFunctionEmpty = 0,
    kFunctionMember = 1,
    kFunctionPointer = 2,
    kFunctionTagBase = 16,
    kFunctionWildcard = 0xFFFFFFFFu
};

// Callback value: a bound member function or a free function. Copyable, comparable, no heap.
template <class R, class... A>
class TFunction
{
    using Invoker = R (*)(const TFunction&, A...);

public:
    TFunction() { clear(); }

    TFunction(R (*fn)(A...))
    {
        clear();
        if (fn) {
            std::memcpy(m_fn, &fn, sizeof(fn));
            m_tag = kFunctionPointer;
            m_invoke = &callFree;
        }
    }

    template <class O, class C>
    TFunction(R (C::*fn)(A...), O* object, uint32_t tag = kFunctionMember)
    {
        bindMember<C, R (C::*)(A...)>(fn, object, tag);
    }

    template <class O, class C>
    TFunction(R (C::*fn)(A...) const, O* object, uint32_t tag = kFunctionMember)
    {
        bindMember<C, R (C::*)(A...) const>(fn, object, tag);
    }

    bool empty() const { return m_tag == kFunctionEmpty; }
    uint32_t tag() const { return m_tag; }

    bool operator==(const TFunction& other) const
    {
        if (m_tag < kFunctionTagBase || other.m_tag < kFunctionTagBase) {
            if (m_tag != other.m_tag)
                return false;
            if (m_tag == kFunctionMember)
                return sameFunction(other) && m_object == other.m_object;
            if (m_tag == kFunctionPointer)
                return sameFunction(other);
            return true;
        }
        if (m_tag != other.m_tag && m_tag != kFunctionWildcard && other.m_tag != kFunctionWildcard)
            return false;
        return sameFunction(other) && m_object == other.m_object;
    }
    bool operator!=(const TFunction& other) const { return !(*this == other); }

    R operator()(A... args) const
    {
        if (m_tag == kFunctionMember || m_tag == kFunctionPointer)
            return m_invoke(*this, args...);
        if (m_tag >= kFunctionTagBase && m_tag != kFunctionWildcard) {
            setThreadFunctionTag(m_tag);
            return m_invoke(*this, args...);
        }
        std::printf("FUNCTION_FUNCTION::operator() invalid function type : %u, typeid : %s\n", m_tag,
                    m_typeName ? m_typeName : "");
        if (m_invoke)
            return m_invoke(*this, args...);
        return R();
    }

private:
    void clear()
    {
        std::memset(m_fn, 0, sizeof(m_fn));
        m_object = nullptr;
        m_tag = kFunctionEmpty;
        m_typeName = nullptr;
        m_invoke = nullptr;
    }

    bool sameFunction(const TFunction& other) const { return std::memcmp(m_fn, other.m_fn, sizeof(m_fn)) == 0; }

    template <class C, class F, class O>
    void bindMember(F fn, O* object, uint32_t tag)
    {
        static_assert(sizeof(F) <= sizeof(m_fn), "member function pointer too wide");
        clear();
        std::memcpy(m_fn, &fn, sizeof(fn));
        m_object = const_cast<void*>(static_cast<const void*>(static_cast<C*>(object)));
        m_tag = tag;
        m_typeName = typeid(O*).name();
        m_invoke = &callMember<C, F>;
    }

    static R callFree(const TFunction& self, A... args)
    {
        R (*fn)(A...);
        std::memcpy(&fn, self.m_fn, sizeof(fn));
        return fn(args...);
    }

    // Kept out of line: called through m_invoke anyway.
    template <class C, class F>
    __attribute__((noinline)) static R callMember(const TFunction& self, A... args)
    {
        F fn;
        std::memcpy(&fn, self.m_fn, sizeof(fn));
        return (static_cast<C*>(self.m_object)->*fn)(args...);
    }

    alignas(void*) unsigned char m_fn[2 * sizeof(void*)];
    void* m_object;
    uint32_t m_tag;
    const char* m_typeName;
    Invoker m_invoke;
};

} // namespace Detail

template <class R>
using TFunction0 = Detail::TFunction<R>;
template <class R, class A1>
using TFunction1 = Detail::TFunction<R, A1>;
template <class R, class A1, class A2>
using TFunction2 = Detail::TFunction<R, A1, A2>;
template <class R, class A1, class A2, class A3>
using TFunction3 = Detail::TFunction<R, A1, A2, A3>;
template <class R, class A1, class A2, class A3, class A4>
using TFunction4 = Detail::TFunction<R, A1, A2, A3, A4>;
template <class R, class A1, class A2, class A3, class A4, class A5>
using TFunction5 = Detail::TFunction<R, A1, A2, A3, A4, A5>;

} // namespace Infra
} // namespace Orvan

#endif
