#include "StringArray.h"

#include <algorithm>

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
    if (index < 0)
        index = 0;
    if (index >= GetSize())
        SetSize(index + 1);
    return m_items[static_cast<size_t>(index)];
}

void CStringArray::SetAt(int index, const CString &value)
{
    if (index >= 0 && index < GetSize())
        m_items[static_cast<size_t>(index)] = value;
}

void CStringArray::SetAtGrow(int index, const CString &value)
{
    if (index >= 0)
        ElementAt(index) = value;
}

int CStringArray::Add(const CString &value)
{
    m_items.push_back(value);
    return GetSize() - 1;
}

int CStringArray::Append(const CStringArray &other)
{
    const int first = GetSize();
    m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
    return first;
}

void CStringArray::InsertAt(int index, const CString &value, int count)
{
    if (index < 0 || count <= 0)
        return;
    if (index > GetSize())
        SetSize(index);
    m_items.insert(m_items.begin() + index, static_cast<size_t>(count), value);
}

void CStringArray::RemoveAt(int index, int count)
{
    if (index < 0 || index >= GetSize() || count <= 0)
        return;
    const int last = std::min(GetSize(), index + count);
    m_items.erase(m_items.begin() + index, m_items.begin() + last);
}
