// Late-bound automation of other programs through IDispatch: reaching a
// running object or starting one, and reading, writing and calling its
// members by name (also along a dotted path such as "a.b.c").
#pragma once

#include <windows.h>
#include <oaidl.h>

// The running instance registered for the ProgID; false when it is not
// running.
bool GetRunningObject(const wchar_t *progId, IDispatch **object);
// A new instance of the ProgID's class, run.
bool CreateRunningObject(const wchar_t *progId, IDispatch **object);

HRESULT GetDispProperty(IDispatch *object, const wchar_t *name, VARIANT *result);
HRESULT PutDispProperty(IDispatch *object, const wchar_t *name, const VARIANT &value);
// Arguments in the order the method takes them.
HRESULT CallDispMethod(IDispatch *object, const wchar_t *name, VARIANT *arguments, int count, VARIANT *result);
HRESULT GetDispPropertyPath(IDispatch *object, const wchar_t *path, VARIANT *result);
HRESULT PutDispPropertyPath(IDispatch *object, const wchar_t *path, const VARIANT &value);
