// String collections of the class-library layer.
#pragma once

#include <vector>

#include "CString.h"

class CStringArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }
    void SetSize(int size);

    // Out-of-range reads give an empty string and out-of-range writes
    // (SetAt, ElementAt, operator[]) are dropped; only SetAtGrow and InsertAt
    // grow the array.
    const CString &GetAt(int index) const;
    CString &ElementAt(int index);
    void SetAt(int index, const CString &value);
    void SetAtGrow(int index, const CString &value);
    const CString &operator[](int index) const { return GetAt(index); }
    CString &operator[](int index) { return ElementAt(index); }

    int Add(const CString &value);
    int Append(const CStringArray &other);
    void Copy(const CStringArray &other) { m_items = other.m_items; }
    void InsertAt(int index, const CString &value, int count = 1);
    void RemoveAt(int index, int count = 1);
    void RemoveAll() { m_items.clear(); }

    std::vector<CString>::const_iterator begin() const { return m_items.begin(); }
    std::vector<CString>::const_iterator end() const { return m_items.end(); }

private:
    std::vector<CString> m_items;
    CString m_outOfRange;  // what ElementAt gives for a bad index
};
