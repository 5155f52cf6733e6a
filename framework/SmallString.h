// The byte store behind CString. Libraries hold hundreds of thousands of
// words, each in a CString, so the store is as small as three machine words:
// up to 22 bytes (10 on 32-bit) live inside the object, longer texts on the
// heap. The text is always followed by a 0 byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

class SmallString {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    SmallString()
    {
        m_u.heap = Heap{0, 0, nullptr};  // all bytes defined: an empty inline text
    }
    SmallString(const char *s, size_t n) : SmallString() { assign(s, n); }
    SmallString(size_t n, char ch) : SmallString() { assign(n, ch); }
    explicit SmallString(const char *s) : SmallString(s, std::strlen(s)) {}
    SmallString(const SmallString &other) : SmallString() { assign(other.data(), other.size()); }
    SmallString(SmallString &&other) noexcept
    {
        std::memcpy(static_cast<void *>(this), static_cast<const void *>(&other), sizeof *this);
        other.SetInlineSize(0);
    }
    ~SmallString()
    {
        if (IsHeap())
            delete[] m_u.heap.text;
    }
    SmallString &operator=(const SmallString &other)
    {
        if (this != &other)
            assign(other.data(), other.size());
        return *this;
    }
    SmallString &operator=(SmallString &&other) noexcept
    {
        if (this != &other) {
            this->~SmallString();
            new (this) SmallString(static_cast<SmallString &&>(other));
        }
        return *this;
    }

    size_t size() const { return IsHeap() ? m_u.heap.size : static_cast<unsigned char>(m_u.bytes[0]) >> 1; }
    bool empty() const { return size() == 0; }
    size_t capacity() const { return IsHeap() ? HeapCapacity() : kInline; }
    const char *data() const { return IsHeap() ? m_u.heap.text : m_u.bytes + 1; }
    char *data() { return IsHeap() ? m_u.heap.text : m_u.bytes + 1; }
    const char *c_str() const { return data(); }
    char &operator[](size_t i) { return data()[i]; }
    const char &operator[](size_t i) const { return data()[i]; }
    char back() const { return data()[size() - 1]; }
    char *begin() { return data(); }
    char *end() { return data() + size(); }
    const char *begin() const { return data(); }
    const char *end() const { return data() + size(); }

    void clear() { SetSize(0); }
    void reserve(size_t n)
    {
        if (n > capacity())
            Grow(n);
    }
    void resize(size_t n, char ch = '\0')
    {
        const size_t old = size();
        reserve(n);
        if (n > old)
            std::memset(data() + old, ch, n - old);
        SetSize(n);
    }
    SmallString &assign(const char *s, size_t n)
    {
        if (n > capacity()) {
            // s may point into this string: build the new store first.
            SmallString fresh;
            fresh.Grow(n);
            std::memcpy(fresh.data(), s, n);
            fresh.SetSize(n);
            *this = static_cast<SmallString &&>(fresh);
            return *this;
        }
        MoveBytes(data(), s, n);
        SetSize(n);
        return *this;
    }
    SmallString &assign(size_t n, char ch)
    {
        clear();
        resize(n, ch);
        return *this;
    }
    SmallString &append(const char *s, size_t n) { return insert(size(), s, n); }
    SmallString &operator+=(const SmallString &s) { return append(s.data(), s.size()); }
    SmallString &operator+=(const char *s) { return append(s, std::strlen(s)); }
    void push_back(char ch)
    {
        const size_t n = size();
        if (n + 1 > capacity())
            Grow(2 * n);
        data()[n] = ch;
        SetSize(n + 1);
    }
    void pop_back() { SetSize(size() - 1); }

    // Inserts n bytes at pos (pos <= size()); s may point into this string.
    SmallString &insert(size_t pos, const char *s, size_t n)
    {
        const size_t old = size();
        const uintptr_t from = reinterpret_cast<uintptr_t>(s), own = reinterpret_cast<uintptr_t>(data());
        if (n && from >= own && from < own + old) {
            const SmallString copy(s, n);
            return insert(pos, copy.data(), n);
        }
        if (old + n > capacity())
            Grow(old + n > 2 * old ? old + n : 2 * old);
        char *text = data();
        std::memmove(text + pos + n, text + pos, old - pos);
        std::memcpy(text + pos, s, n);
        SetSize(old + n);
        return *this;
    }
    SmallString &insert(size_t pos, size_t n, char ch)
    {
        const size_t old = size();
        resize(old + n);
        char *text = data();
        std::memmove(text + pos + n, text + pos, old - pos);
        std::memset(text + pos, ch, n);
        return *this;
    }
    SmallString &erase(size_t pos, size_t n)
    {
        const size_t old = size();
        if (n > old - pos)
            n = old - pos;
        std::memmove(data() + pos, data() + pos + n, old - pos - n);
        SetSize(old - n);
        return *this;
    }
    char *erase(char *first, char *last)
    {
        const size_t pos = static_cast<size_t>(first - data());
        erase(pos, static_cast<size_t>(last - first));
        return data() + pos;
    }

    size_t find(char ch, size_t pos = 0) const
    {
        if (pos >= size())
            return npos;
        const void *hit = std::memchr(data() + pos, ch, size() - pos);
        return hit ? static_cast<size_t>(static_cast<const char *>(hit) - data()) : npos;
    }
    size_t find(const char *s, size_t pos = 0) const
    {
        const size_t n = std::strlen(s), length = size();
        if (pos > length || n > length - pos)
            return npos;
        if (n == 0)
            return pos;
        for (const char *p = data() + pos, *stop = data() + length - n; p <= stop; ++p)
            if (*p == *s && std::memcmp(p, s, n) == 0)
                return static_cast<size_t>(p - data());
        return npos;
    }
    size_t rfind(char ch) const
    {
        for (size_t i = size(); i > 0; --i)
            if (data()[i - 1] == ch)
                return i - 1;
        return npos;
    }
    SmallString substr(size_t pos, size_t n = npos) const
    {
        const size_t length = size();
        if (pos > length)
            pos = length;
        if (n > length - pos)
            n = length - pos;
        return SmallString(data() + pos, n);
    }
    void swap(SmallString &other) noexcept
    {
        SmallString keep(static_cast<SmallString &&>(other));
        other = static_cast<SmallString &&>(*this);
        *this = static_cast<SmallString &&>(keep);
    }

    friend bool operator==(const SmallString &a, const SmallString &b)
    {
        return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
    }

private:
    // memmove for the short texts that make up most strings, without a call
    // into the C runtime (whose memmove is slow for them on some platforms):
    // every byte is loaded before any is stored, so the ranges may overlap.
    static void MoveBytes(char *to, const char *from, size_t n)
    {
        if (n >= 8 && n <= 16) {
            uint64_t head, tail;
            std::memcpy(&head, from, 8);
            std::memcpy(&tail, from + n - 8, 8);
            std::memcpy(to, &head, 8);
            std::memcpy(to + n - 8, &tail, 8);
        } else if (n >= 4 && n < 8) {
            uint32_t head, tail;
            std::memcpy(&head, from, 4);
            std::memcpy(&tail, from + n - 4, 4);
            std::memcpy(to, &head, 4);
            std::memcpy(to + n - 4, &tail, 4);
        } else if (n > 0 && n < 4) {
            const char first = from[0], middle = from[n / 2], last = from[n - 1];
            to[0] = first;
            to[n / 2] = middle;
            to[n - 1] = last;
        } else if (n > 16) {
            std::memmove(to, from, n);
        }
    }

    struct Heap {
        size_t tag;  // capacity * 2 + 1: the odd first byte marks a heap text
        size_t size;
        char *text;
    };
    static constexpr size_t kBytes = sizeof(Heap);
    // An inline text starts after the tag byte (its size * 2, even) and keeps
    // room for the terminator.
    static constexpr size_t kInline = kBytes - 2;

    // The first byte of the object is the low byte of Heap::tag on the
    // little-endian targets this builds for.
    bool IsHeap() const { return (static_cast<unsigned char>(m_u.bytes[0]) & 1) != 0; }
    size_t HeapCapacity() const { return m_u.heap.tag >> 1; }
    void SetInlineSize(size_t n)
    {
        if (n > kInline)  // never: callers grow first; keeps the store in bounds
            n = kInline;
        m_u.bytes[0] = static_cast<char>(n << 1);
        m_u.bytes[1 + n] = '\0';
    }
    void SetSize(size_t n)
    {
        if (IsHeap()) {
            m_u.heap.size = n;
            m_u.heap.text[n] = '\0';
        } else {
            SetInlineSize(n);
        }
    }
    // Moves the text to a heap block of at least n bytes plus the terminator.
    void Grow(size_t n)
    {
        const size_t length = size();
        char *text = new char[n + 1];
        std::memcpy(text, data(), length + 1);
        if (IsHeap())
            delete[] m_u.heap.text;
        m_u.heap.text = text;
        m_u.heap.size = length;
        m_u.heap.tag = (n << 1) | 1;
    }

#if defined(__BYTE_ORDER__)
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the heap mark is the low byte of Heap::tag");
#endif
    union {
        Heap heap;
        char bytes[kBytes];
    } m_u;
};
