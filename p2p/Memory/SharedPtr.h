#ifndef ORVAN_MEMORY_SHAREDPTR_H
#define ORVAN_MEMORY_SHAREDPTR_H

#include "Infra3/Error.h"

#include <atomic>
#include <typeinfo>

namespace Orvan {
namespace Memory {
namespace Detail {

// Count block of a TSharedPtr: one atomic use count, no weak references.
class sp_counted_base
{
public:
    sp_counted_base() : m_useCount(1) {}
    virtual ~sp_counted_base() {}
    sp_counted_base(const sp_counted_base&) = delete;
    sp_counted_base& operator=(const sp_counted_base&) = delete;

    virtual void dispose() = 0;
    virtual void destroy() { delete this; }
    virtual void* get_deleter(const std::type_info& type) = 0;

    void add_ref() { m_useCount.fetch_add(1, std::memory_order_relaxed); }
    void release()
    {
        if (m_useCount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            dispose();
            destroy();
        }
    }
    int use_count() const { return m_useCount.load(std::memory_order_relaxed); }

private:
    std::atomic<int> m_useCount;
};

template <class T>
class sp_counted_impl_p : public sp_counted_base
{
public:
    explicit sp_counted_impl_p(T* p) : m_px(p) {}
    void dispose() override { delete m_px; }
    void* get_deleter(const std::type_info&) override { return nullptr; }

private:
    T* m_px;
};

template <class P, class D>
class sp_counted_impl_pd : public sp_counted_base
{
public:
    sp_counted_impl_pd(P p, D d) : m_ptr(p), m_del(d) {}
    void dispose() override { m_del(m_ptr); }
    void* get_deleter(const std::type_info& type) override { return type == typeid(D) ? &m_del : nullptr; }

private:
    P m_ptr;
    D m_del;
};

} // namespace Detail

// Reference-counted owning pointer; copies may be made and dropped on different threads.
template <class T>
class TSharedPtr
{
public:
    typedef T element_type;

    TSharedPtr() : px(nullptr), pn(nullptr) {}

    explicit TSharedPtr(T* p) : px(p), pn(nullptr)
    {
        try {
            pn = new Detail::sp_counted_impl_p<T>(p);
        } catch (...) {
            delete p;
            throw;
        }
    }

    template <class D>
    TSharedPtr(T* p, D d) : px(p), pn(nullptr)
    {
        try {
            pn = new Detail::sp_counted_impl_pd<T*, D>(p, d);
        } catch (...) {
            d(p);
            throw;
        }
    }

    TSharedPtr(const TSharedPtr& other) : px(other.px), pn(other.pn)
    {
        if (pn)
            pn->add_ref();
    }

    ~TSharedPtr()
    {
        if (pn)
            pn->release();
    }

    TSharedPtr& operator=(const TSharedPtr& other)
    {
        px = other.px;
        if (pn != other.pn) {
            if (other.pn)
                other.pn->add_ref();
            if (pn)
                pn->release();
            pn = other.pn;
        }
        return *this;
    }

    void reset() { TSharedPtr().swap(*this); }

    void reset(T* p)
    {
        ORVAN_ASSERT(p == 0 || p != px);
        TSharedPtr(p).swap(*this);
    }

    T& operator*() const
    {
        ORVAN_ASSERT(px != 0);
        return *px;
    }

    T* operator->() const
    {
        ORVAN_ASSERT(px != 0);
        return px;
    }

    T* get() const { return px; }

    void swap(TSharedPtr& other)
    {
        T* p = px;
        px = other.px;
        other.px = p;
        Detail::sp_counted_base* n = pn;
        pn = other.pn;
        other.pn = n;
    }

    // For diagnostics and tests: the current use count, 0 when empty.
    int use_count() const { return pn ? pn->use_count() : 0; }

    template <class D>
    D* get_deleter() const
    {
        return pn ? static_cast<D*>(pn->get_deleter(typeid(D))) : nullptr;
    }

private:
    T* px;
    Detail::sp_counted_base* pn;
};

} // namespace Memory
} // namespace Orvan

#endif
