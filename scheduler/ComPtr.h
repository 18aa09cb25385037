// Ownership of COM interfaces and of COM's initialisation on a thread.
#pragma once

#include <objbase.h>

// Holds one reference to an interface and releases it.
template <class T> class CComPtr
{
public:
    CComPtr() : m_p(nullptr) {}
    ~CComPtr() { Reset(); }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;

    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For the calls that hand back a new reference.
    T** Receive()
    {
        Reset();
        return &m_p;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    void Reset()
    {
        if (m_p)
        {
            m_p->Release();
            m_p = nullptr;
        }
    }

private:
    T* m_p;
};

// COM on this thread for the life of the object, uninitialised only when this object
// initialised it.
class CComInit
{
public:
    CComInit() : m_initialised(false) {}
    ~CComInit() { Uninitialize(); }
    CComInit(const CComInit&) = delete;
    CComInit& operator=(const CComInit&) = delete;
    bool Initialize()
    {
        if (!m_initialised)
            m_initialised = SUCCEEDED(::CoInitialize(nullptr));
        return m_initialised;
    }
    void Uninitialize()
    {
        if (m_initialised)
        {
            ::CoUninitialize();
            m_initialised = false;
        }
    }

private:
    bool m_initialised;
};
