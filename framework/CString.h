// 8-bit string class of the class-library layer: the members the program
// calls, with the usual semantics (indexes clamp, Find returns -1). Case-
// insensitive comparisons fold ASCII only, as in the C locale; MakeUpper and
// MakeLower follow the ANSI code page (Windows-1252 on the host build).
#pragma once

#include <cstdarg>
#include <string>

#include "SmallString.h"
#include "wintypes.h"

#if defined(__MINGW_PRINTF_FORMAT)
// Plain "printf" means the MS rules to MinGW's GCC, but vsnprintf here is the
// C99 one (%zu, %lld); check against what the runtime really does.
#define LX_PRINTF_FORMAT(fmt, first) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, first)))
#elif defined(__GNUC__)
#define LX_PRINTF_FORMAT(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#define LX_PRINTF_FORMAT(fmt, first)
#endif

// ASCII-only case-insensitive comparison, the C runtime's _stricmp in the C
// locale: both sides are folded to lower case before comparing bytes.
int AsciiCompareNoCase(const char *a, const char *b);
int AsciiCompareNoCaseN(const char *a, const char *b, size_t n);
char AsciiToLower(char c);
char AsciiToUpper(char c);

class CString {
public:
    CString() = default;
    CString(const CString &) = default;
    CString(CString &&) noexcept = default;
    CString(const char *s);  // NULL gives the empty string
    CString(const char *s, int length);
    CString(char ch, int repeat = 1);
    CString(const std::string &s) : m_s(s.data(), s.size()) {}

    CString &operator=(const CString &) = default;
    CString &operator=(CString &&) noexcept = default;
    CString &operator=(const char *s);
    CString &operator=(char ch);

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    const char *GetString() const { return m_s.c_str(); }
    operator const char *() const { return m_s.c_str(); }
    std::string Str() const { return std::string(m_s.data(), m_s.size()); }

    char GetAt(int index) const;
    void SetAt(int index, char ch);
    char operator[](int index) const { return GetAt(index); }

    CString &operator+=(const CString &s);
    CString &operator+=(const char *s);
    CString &operator+=(char ch);
    void Append(const char *s, int length);
    // Replaces the text with length bytes at s.
    void SetString(const char *s, int length);
    void AppendChar(char ch) { m_s.push_back(ch); }

    friend CString operator+(const CString &a, const CString &b);
    friend CString operator+(const CString &a, const char *b);
    friend CString operator+(const char *a, const CString &b);
    friend CString operator+(const CString &a, char b);
    friend CString operator+(char a, const CString &b);

    int Compare(const char *s) const;
    int CompareNoCase(const char *s) const;

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString SpanIncluding(const char *charSet) const;
    CString SpanExcluding(const char *charSet) const;

    int Find(char ch, int start = 0) const;
    int Find(const char *sub, int start = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(const char *charSet) const;

    CString &MakeUpper();
    CString &MakeLower();
    CString &MakeReverse();

    // Trim() strips the standard white space (isspace in the C locale).
    CString &Trim();
    CString &Trim(char target);
    CString &Trim(const char *targets);
    CString &TrimLeft();
    CString &TrimLeft(char target);
    CString &TrimLeft(const char *targets);
    CString &TrimRight();
    CString &TrimRight(char target);
    CString &TrimRight(const char *targets);

    int Replace(char oldCh, char newCh);
    int Replace(const char *oldText, const char *newText);
    int Remove(char ch);
    int Insert(int index, char ch);
    int Insert(int index, const char *s);
    int Delete(int index, int count = 1);

    // Next token delimited by any of the characters in tokens, starting at
    // start; start becomes -1 and the result empty when none is left.
    CString Tokenize(const char *tokens, int &start) const;

    // The format is always a literal of the caller: user text goes through
    // "%s", never as the format itself.
    void Format(const char *format, ...) LX_PRINTF_FORMAT(2, 3);
    void AppendFormat(const char *format, ...) LX_PRINTF_FORMAT(2, 3);
    void FormatV(const char *format, va_list args);

    // Writable buffer of at least minLength characters plus a terminator;
    // ReleaseBuffer(-1) takes the length up to the first 0 byte.
    char *GetBuffer(int minLength = 0);
    char *GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

private:
    explicit CString(SmallString &&s) : m_s(static_cast<SmallString &&>(s)) {}
    friend bool operator==(const CString &a, const CString &b);

    SmallString m_s;
};

inline bool operator==(const CString &a, const CString &b) { return a.m_s == b.m_s; }
inline bool operator==(const CString &a, const char *b) { return a.Compare(b) == 0; }
inline bool operator==(const char *a, const CString &b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString &a, const CString &b) { return !(a == b); }
inline bool operator!=(const CString &a, const char *b) { return !(a == b); }
inline bool operator!=(const char *a, const CString &b) { return !(a == b); }
inline bool operator<(const CString &a, const CString &b) { return a.Compare(b) < 0; }
inline bool operator>(const CString &a, const CString &b) { return a.Compare(b) > 0; }
inline bool operator<=(const CString &a, const CString &b) { return a.Compare(b) <= 0; }
inline bool operator>=(const CString &a, const CString &b) { return a.Compare(b) >= 0; }
