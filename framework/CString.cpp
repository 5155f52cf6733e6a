#include "CString.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

char AsciiToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char AsciiToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

int AsciiCompareNoCaseN(const char *a, const char *b, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        const int ca = static_cast<unsigned char>(AsciiToLower(a[i]));
        const int cb = static_cast<unsigned char>(AsciiToLower(b[i]));
        if (ca != cb)
            return ca - cb;
        if (ca == 0)
            return 0;
    }
    return 0;
}

int AsciiCompareNoCase(const char *a, const char *b) { return AsciiCompareNoCaseN(a, b, static_cast<size_t>(-1)); }

namespace {
bool IsCSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool InSet(char c, const char *set) { return c != 0 && set && std::strchr(set, c) != nullptr; }
int Sign(int v) { return (v > 0) - (v < 0); }
}  // namespace

CString::CString(const char *s) : m_s(s ? s : "") {}
CString::CString(const char *s, int length) : m_s(s && length > 0 ? s : "", s && length > 0 ? static_cast<size_t>(length) : 0) {}
CString::CString(char ch, int repeat) : m_s(repeat > 0 ? static_cast<size_t>(repeat) : 0, ch) {}

CString &CString::operator=(const char *s)
{
    m_s.assign(s ? s : "", s ? std::strlen(s) : 0);
    return *this;
}

CString &CString::operator=(char ch)
{
    m_s.assign(1, ch);
    return *this;
}

char CString::GetAt(int index) const
{
    return (index >= 0 && index < GetLength()) ? m_s[static_cast<size_t>(index)] : 0;
}

void CString::SetAt(int index, char ch)
{
    if (index >= 0 && index < GetLength())
        m_s[static_cast<size_t>(index)] = ch;
}

CString &CString::operator+=(const CString &s)
{
    m_s += s.m_s;
    return *this;
}

CString &CString::operator+=(const char *s)
{
    if (s)
        m_s += s;
    return *this;
}

CString &CString::operator+=(char ch)
{
    m_s.push_back(ch);
    return *this;
}

void CString::SetString(const char *s, int length)
{
    if (s && length > 0)
        m_s.assign(s, static_cast<size_t>(length));
    else
        m_s.clear();
}

void CString::Append(const char *s, int length)
{
    if (s && length > 0)
        m_s.append(s, static_cast<size_t>(length));
}

CString operator+(const CString &a, const CString &b)
{
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString &a, const char *b)
{
    CString r(a);
    r += b;
    return r;
}
CString operator+(const char *a, const CString &b)
{
    CString r(a);
    r += b;
    return r;
}
CString operator+(const CString &a, char b)
{
    CString r(a);
    r += b;
    return r;
}
CString operator+(char a, const CString &b)
{
    CString r(a);
    r += b;
    return r;
}

int CString::Compare(const char *s) const { return Sign(std::strcmp(m_s.c_str(), s ? s : "")); }
int CString::CompareNoCase(const char *s) const { return Sign(AsciiCompareNoCase(m_s.c_str(), s ? s : "")); }

CString CString::Left(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return CString(m_s.substr(0, static_cast<size_t>(count)));
}

CString CString::Right(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return CString(m_s.substr(static_cast<size_t>(GetLength() - count)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const
{
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(m_s.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::SpanIncluding(const char *charSet) const
{
    size_t n = 0;
    while (n < m_s.size() && InSet(m_s[n], charSet))
        ++n;
    return CString(m_s.substr(0, n));
}

CString CString::SpanExcluding(const char *charSet) const
{
    size_t n = 0;
    while (n < m_s.size() && !InSet(m_s[n], charSet))
        ++n;
    return CString(m_s.substr(0, n));
}

int CString::Find(char ch, int start) const
{
    if (start < 0 || start >= GetLength())
        return -1;
    const size_t pos = m_s.find(ch, static_cast<size_t>(start));
    return pos == SmallString::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char *sub, int start) const
{
    if (!sub || start < 0 || start > GetLength())
        return -1;
    const size_t pos = m_s.find(sub, static_cast<size_t>(start));
    return pos == SmallString::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const
{
    const size_t pos = m_s.rfind(ch);
    return pos == SmallString::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const char *charSet) const
{
    for (size_t i = 0; i < m_s.size(); ++i)
        if (InSet(m_s[i], charSet))
            return static_cast<int>(i);
    return -1;
}

#ifndef _WIN32
namespace {
// The host has no ANSI code page; Windows-1252 (the usual Western one) stands
// in for it, so accented letters change case the same way there.
unsigned char Cp1252ToLower(unsigned char c)
{
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 'A' && c <= 'Z'))
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A:  // S caron, OE ligature, Z caron
    case 0x8C:
    case 0x8E:
        return static_cast<unsigned char>(c + 0x10);
    case 0x9F:  // Y with diaeresis
        return 0xFF;
    default:
        return c;
    }
}

unsigned char Cp1252ToUpper(unsigned char c)
{
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 'a' && c <= 'z'))
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A:
    case 0x9C:
    case 0x9E:
        return static_cast<unsigned char>(c - 0x10);
    case 0xFF:
        return 0x9F;
    default:
        return c;
    }
}
}  // namespace
#endif

// Whole strings change case by the ANSI code page's rules, so accented
// letters follow; comparisons stay ASCII-only (AsciiCompareNoCase).
CString &CString::MakeUpper()
{
#ifdef _WIN32
    if (!m_s.empty())
        CharUpperBuffA(&m_s[0], static_cast<DWORD>(m_s.size()));
#else
    for (char &c : m_s)
        c = static_cast<char>(Cp1252ToUpper(static_cast<unsigned char>(c)));
#endif
    return *this;
}

CString &CString::MakeLower()
{
#ifdef _WIN32
    if (!m_s.empty())
        CharLowerBuffA(&m_s[0], static_cast<DWORD>(m_s.size()));
#else
    for (char &c : m_s)
        c = static_cast<char>(Cp1252ToLower(static_cast<unsigned char>(c)));
#endif
    return *this;
}

CString &CString::MakeReverse()
{
    std::reverse(m_s.begin(), m_s.end());
    return *this;
}

CString &CString::TrimLeft()
{
    size_t n = 0;
    while (n < m_s.size() && IsCSpace(m_s[n]))
        ++n;
    m_s.erase(0, n);
    return *this;
}

CString &CString::TrimRight()
{
    while (!m_s.empty() && IsCSpace(m_s.back()))
        m_s.pop_back();
    return *this;
}

CString &CString::TrimLeft(const char *targets)
{
    size_t n = 0;
    while (n < m_s.size() && InSet(m_s[n], targets))
        ++n;
    m_s.erase(0, n);
    return *this;
}

CString &CString::TrimRight(const char *targets)
{
    while (!m_s.empty() && InSet(m_s.back(), targets))
        m_s.pop_back();
    return *this;
}

CString &CString::TrimLeft(char target)
{
    const char set[2] = {target, 0};
    return TrimLeft(set);
}

CString &CString::TrimRight(char target)
{
    const char set[2] = {target, 0};
    return TrimRight(set);
}

CString &CString::Trim() { return TrimRight().TrimLeft(); }
CString &CString::Trim(char target) { return TrimRight(target).TrimLeft(target); }
CString &CString::Trim(const char *targets) { return TrimRight(targets).TrimLeft(targets); }

int CString::Replace(char oldCh, char newCh)
{
    int count = 0;
    for (char &c : m_s)
        if (c == oldCh) {
            c = newCh;
            ++count;
        }
    return count;
}

int CString::Replace(const char *oldText, const char *newText)
{
    if (!oldText || !*oldText)
        return 0;
    const size_t fromLength = std::strlen(oldText);
    const char *to = newText ? newText : "";
    SmallString out;
    int count = 0;
    size_t pos = 0;
    for (;;) {
        const size_t hit = m_s.find(oldText, pos);
        if (hit == SmallString::npos)
            break;
        out.append(m_s.data() + pos, hit - pos);
        out += to;
        pos = hit + fromLength;
        ++count;
    }
    if (count) {
        out.append(m_s.data() + pos, m_s.size() - pos);
        m_s.swap(out);
    }
    return count;
}

int CString::Remove(char ch)
{
    const size_t before = m_s.size();
    m_s.erase(std::remove(m_s.begin(), m_s.end(), ch), m_s.end());
    return static_cast<int>(before - m_s.size());
}

int CString::Insert(int index, char ch)
{
    index = std::clamp(index, 0, GetLength());
    m_s.insert(static_cast<size_t>(index), 1, ch);
    return GetLength();
}

int CString::Insert(int index, const char *s)
{
    index = std::clamp(index, 0, GetLength());
    if (s)
        m_s.insert(static_cast<size_t>(index), s, std::strlen(s));
    return GetLength();
}

int CString::Delete(int index, int count)
{
    index = std::max(index, 0);
    if (index < GetLength() && count > 0)
        m_s.erase(static_cast<size_t>(index), static_cast<size_t>(std::min(count, GetLength() - index)));
    return GetLength();
}

CString CString::Tokenize(const char *tokens, int &start) const
{
    if (start < 0 || start >= GetLength()) {
        start = -1;
        return CString();
    }
    size_t pos = static_cast<size_t>(start);
    while (pos < m_s.size() && InSet(m_s[pos], tokens))
        ++pos;
    if (pos >= m_s.size()) {
        start = -1;
        return CString();
    }
    size_t end = pos;
    while (end < m_s.size() && !InSet(m_s[end], tokens))
        ++end;
    start = static_cast<int>(end < m_s.size() ? end + 1 : end);
    return CString(m_s.substr(pos, end - pos));
}

void CString::FormatV(const char *format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0) {
        m_s.clear();
        return;
    }
    std::vector<char> buf(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buf.data(), buf.size(), format, args);
    m_s.assign(buf.data(), static_cast<size_t>(needed));
}

void CString::Format(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const char *format, ...)
{
    CString tail;
    va_list args;
    va_start(args, format);
    tail.FormatV(format, args);
    va_end(args);
    m_s += tail.m_s;
}

char *CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_s.resize(static_cast<size_t>(minLength));
    return &m_s[0];
}

char *CString::GetBufferSetLength(int length)
{
    m_s.resize(static_cast<size_t>(std::max(length, 0)));
    return &m_s[0];
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        newLength = static_cast<int>(std::strlen(m_s.c_str()));
    m_s.resize(static_cast<size_t>(std::min(newLength, GetLength())));
}
