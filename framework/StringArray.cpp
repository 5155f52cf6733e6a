#include "StringArray.h"

#include <algorithm>
#include <utility>

namespace {
const CString kEmpty;
}

void CStringArray::SetSize(int size) { m_items.resize(size > 0 ? static_cast<size_t>(size) : 0); }

const CString &CStringArray::GetAt(int index) const
{
    return (index >= 0 && index < GetSize()) ? m_items[static_cast<size_t>(index)] : kEmpty;
}

CString &CStringArray::ElementAt(int index)
{
    if (index >= 0 && index < GetSize())
        return m_items[static_cast<size_t>(index)];
    // A detached empty string: reads match GetAt, writes are dropped like
    // SetAt's, and no other element is touched.
    m_outOfRange.Empty();
    return m_outOfRange;
}

void CStringArray::SetAt(int index, const CString &value)
{
    if (index >= 0 && index < GetSize())
        m_items[static_cast<size_t>(index)] = value;
}

void CStringArray::SetAtGrow(int index, const CString &value)
{
    if (index < 0)
        return;
    CString copy(value);  // value may be one of our elements, moved by growing
    if (index >= GetSize())
        SetSize(index + 1);
    m_items[static_cast<size_t>(index)] = std::move(copy);
}

int CStringArray::Add(const CString &value)
{
    m_items.push_back(value);
    return GetSize() - 1;
}

int CStringArray::Append(const CStringArray &other)
{
    const int first = GetSize();
    // By index after reserving, so that a.Append(a) works.
    const size_t n = other.m_items.size();
    m_items.reserve(m_items.size() + n);
    for (size_t i = 0; i < n; ++i)
        m_items.push_back(other.m_items[i]);
    return first;
}

void CStringArray::InsertAt(int index, const CString &value, int count)
{
    if (index < 0 || count <= 0)
        return;
    const CString copy(value);  // value may be one of our elements, moved by growing
    if (index > GetSize())
        SetSize(index);
    m_items.insert(m_items.begin() + index, static_cast<size_t>(count), copy);
}

void CStringArray::RemoveAt(int index, int count)
{
    if (index < 0 || index >= GetSize() || count <= 0)
        return;
    const int last = index + std::min(count, GetSize() - index);
    m_items.erase(m_items.begin() + index, m_items.begin() + last);
}
