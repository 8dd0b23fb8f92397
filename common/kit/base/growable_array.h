// CGrowableArray: the framework's one container, a contiguous growable
// sequence of plain values (pointers, integers, records without owning
// members). Elements move as raw bytes; nothing throws; failures are result
// codes. The array never owns what pointer elements point at.
#pragma once

#include <cassert>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/win32types.h"

template <typename TYPE>
class CGrowableArray {
  public:
    CGrowableArray() = default;
    ~CGrowableArray() { Clear(); }
    CGrowableArray(const CGrowableArray&) = delete;
    CGrowableArray& operator=(const CGrowableArray&) = delete;

    HRESULT Add(const TYPE& value) {
        if (m_nSize == INT_MAX) return E_OUTOFMEMORY;
        HRESULT hr = SetSizeInternal(m_nSize + 1);
        if (FAILED(hr)) return hr;
        std::memcpy(static_cast<void*>(&m_pItems[m_nSize]), static_cast<const void*>(&value), sizeof(TYPE));
        ++m_nSize;
        return S_OK;
    }

    HRESULT InsertAt(int nIndex, const TYPE& value) {
        assert(nIndex >= 0 && nIndex <= m_nSize);
        if (nIndex < 0 || nIndex > m_nSize) return E_INVALIDARG;
        if (m_nSize == INT_MAX) return E_OUTOFMEMORY;
        HRESULT hr = SetSizeInternal(m_nSize + 1);
        if (FAILED(hr)) return hr;
        std::memmove(static_cast<void*>(&m_pItems[nIndex + 1]), static_cast<const void*>(&m_pItems[nIndex]),
                     sizeof(TYPE) * static_cast<size_t>(m_nSize - nIndex));
        std::memcpy(static_cast<void*>(&m_pItems[nIndex]), static_cast<const void*>(&value), sizeof(TYPE));
        ++m_nSize;
        return S_OK;
    }

    HRESULT Put(int nIndex, const TYPE& value) {
        assert(nIndex >= 0 && nIndex < m_nSize);
        if (nIndex < 0 || nIndex >= m_nSize) return E_INVALIDARG;
        std::memcpy(static_cast<void*>(&m_pItems[nIndex]), static_cast<const void*>(&value), sizeof(TYPE));
        return S_OK;
    }

    TYPE& GetAt(int nIndex) const {
        assert(nIndex >= 0 && nIndex < m_nSize);
        return m_pItems[nIndex];
    }

    int Length() const { return m_nSize; }
    TYPE* Data() const { return m_pItems; }

    // Lowest index holding a value equal to `value`, or -1.
    int Find(const TYPE& value) const { return m_nSize > 0 ? Find(value, 0, m_nSize) : -1; }
    int Find(const TYPE& value, int iStart, int nNumElements) const {
        bool rangeOk =
            iStart >= 0 && iStart < m_nSize && nNumElements >= 0 && nNumElements <= m_nSize - iStart;
        assert(rangeOk);
        if (!rangeOk) return -1;
        for (int i = iStart; i < iStart + nNumElements; ++i)
            if (m_pItems[i] == value) return i;
        return -1;
    }
    bool Has(const TYPE& value) const { return Find(value) != -1; }

    HRESULT RemoveAt(int nIndex) {
        assert(nIndex >= 0 && nIndex < m_nSize);
        if (nIndex < 0 || nIndex >= m_nSize) return E_INVALIDARG;
        std::memmove(static_cast<void*>(&m_pItems[nIndex]), static_cast<const void*>(&m_pItems[nIndex + 1]),
                     sizeof(TYPE) * static_cast<size_t>(m_nSize - nIndex - 1));
        --m_nSize;
        return S_OK;
    }

    // n > 0 reserves room for at least n elements without changing the length;
    // n == 0 frees everything.
    HRESULT Resize(int nNewMaxSize) { return SetSizeInternal(nNewMaxSize); }
    HRESULT Clear() { return Resize(0); }

    // Elements allocated (room before the next growth).
    int Capacity() const { return m_nCapacity; }

  private:
    // Ensures capacity for n elements: 16 at first, then doubling (or n if larger).
    HRESULT SetSizeInternal(int n) {
        assert(n >= 0);
        if (n < 0) return E_INVALIDARG;
        if (n == 0) {
            std::free(m_pItems);
            m_pItems = nullptr;
            m_nSize = 0;
            m_nCapacity = 0;
            return S_OK;
        }
        if (m_pItems != nullptr && m_nCapacity >= n) return S_OK;
        long long step = m_nCapacity != 0 ? m_nCapacity : 16;
        long long wanted = static_cast<long long>(m_nCapacity) + step;
        if (wanted < n) wanted = n;
        if (wanted > INT_MAX) wanted = INT_MAX;
        if (static_cast<unsigned long long>(wanted) > SIZE_MAX / sizeof(TYPE)) return E_OUTOFMEMORY;
        void* grown = std::realloc(static_cast<void*>(m_pItems), sizeof(TYPE) * static_cast<size_t>(wanted));
        if (grown == nullptr) return E_OUTOFMEMORY;
        m_pItems = static_cast<TYPE*>(grown);
        m_nCapacity = static_cast<int>(wanted);
        return S_OK;
    }

    TYPE* m_pItems = nullptr;  // storage for m_nCapacity elements, or null
    int m_nSize = 0;           // elements in use
    int m_nCapacity = 0;       // elements allocated
};
