// Ownership of COM interfaces, COM memory, BSTRs and COM's initialisation on a thread.
#pragma once

#include <objbase.h>
#include <oleauto.h>

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
    IUnknown** ReceiveUnknown() { return reinterpret_cast<IUnknown**>(Receive()); }
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

// Memory that a COM call allocated with the task allocator (an item identifier list, a
// string), freed with it.
template <class T> class CCoTaskMem
{
public:
    CCoTaskMem() : m_p(nullptr) {}
    ~CCoTaskMem() { Reset(); }
    CCoTaskMem(const CCoTaskMem&) = delete;
    CCoTaskMem& operator=(const CCoTaskMem&) = delete;

    T* Get() const { return m_p; }
    T** Receive()
    {
        Reset();
        return &m_p;
    }
    void Reset()
    {
        if (m_p)
            ::CoTaskMemFree(m_p);
        m_p = nullptr;
    }

private:
    T* m_p;
};

// A BSTR, freed with the object.
class CBstr
{
public:
    CBstr() : m_b(nullptr) {}
    explicit CBstr(const wchar_t* text) : m_b(::SysAllocString(text)) {}
    ~CBstr() { ::SysFreeString(m_b); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    operator const wchar_t*() const { return m_b ? m_b : L""; }
    bool IsValid() const { return m_b != nullptr; }

private:
    BSTR m_b;
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
    // The result of CoInitialize (S_FALSE when COM was already initialised here).
    HRESULT Initialize()
    {
        if (m_initialised)
            return S_FALSE;
        HRESULT result = ::CoInitialize(nullptr);
        m_initialised = SUCCEEDED(result);
        return result;
    }
    bool IsInitialized() const { return m_initialised; }
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
