// The few Windows integer types that portable code uses. On Windows they come
// from the system headers; the host build gets equivalent definitions so the
// same sources compile and run natively under the sanitizers.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cstdint>
typedef int BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef const char *LPCSTR;
typedef char *LPSTR;
typedef const char *LPCTSTR;
typedef char *LPTSTR;
typedef void *HWND;
typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#endif
