#include "Automation.h"

#include <objbase.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace {

HRESULT Invoke(IDispatch *object, const wchar_t *name, WORD kind, DISPPARAMS &params, VARIANT *result)
{
    if (!object || !name)
        return E_POINTER;
    DISPID id = 0;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
    if (FAILED(hr))
        return hr;
    if (result)
        VariantInit(result);
    return object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, kind, &params, result, nullptr, nullptr);
}

// Follows all but the last name of a dotted path; the object reached holds a
// reference the caller releases.
HRESULT WalkPath(IDispatch *object, const wchar_t *path, IDispatch **owner, std::wstring &last)
{
    const std::wstring text(path ? path : L"");
    object->AddRef();
    size_t start = 0;
    for (size_t dot; (dot = text.find(L'.', start)) != std::wstring::npos; start = dot + 1) {
        VARIANT next;
        const HRESULT hr = GetDispProperty(object, text.substr(start, dot - start).c_str(), &next);
        object->Release();
        if (FAILED(hr))
            return hr;
        if (next.vt != VT_DISPATCH || !next.pdispVal) {
            VariantClear(&next);
            return DISP_E_TYPEMISMATCH;
        }
        object = next.pdispVal;  // the variant's reference is kept
    }
    *owner = object;
    last = text.substr(start);
    return S_OK;
}

}  // namespace

bool GetRunningObject(const wchar_t *progId, IDispatch **object)
{
    *object = nullptr;
    CLSID clsid;
    IUnknown *unknown = nullptr;
    if (FAILED(CLSIDFromProgID(progId, &clsid)) || FAILED(GetActiveObject(clsid, nullptr, &unknown)) || !unknown)
        return false;
    const HRESULT hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(object));
    unknown->Release();
    return SUCCEEDED(hr) && *object;
}

bool CreateRunningObject(const wchar_t *progId, IDispatch **object)
{
    *object = nullptr;
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(progId, &clsid)))
        return false;
    IUnknown *unknown = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void **>(&unknown));
    // Systems without remote activation refuse the remote context outright.
    if (hr == E_INVALIDARG)
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL & ~CLSCTX_REMOTE_SERVER, IID_IUnknown,
                              reinterpret_cast<void **>(&unknown));
    if (FAILED(hr) || !unknown)
        return false;
    hr = OleRun(unknown);
    if (SUCCEEDED(hr))
        hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void **>(object));
    unknown->Release();
    return SUCCEEDED(hr) && *object;
}

HRESULT GetDispProperty(IDispatch *object, const wchar_t *name, VARIANT *result)
{
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    return Invoke(object, name, DISPATCH_PROPERTYGET, none, result);
}

HRESULT PutDispProperty(IDispatch *object, const wchar_t *name, const VARIANT &value)
{
    VARIANT argument = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&argument, &named, 1, 1};
    return Invoke(object, name, DISPATCH_PROPERTYPUT, params, nullptr);
}

HRESULT CallDispMethod(IDispatch *object, const wchar_t *name, VARIANT *arguments, int count, VARIANT *result)
{
    // IDispatch takes the arguments last first.
    std::vector<VARIANT> reversed(arguments, arguments + (count > 0 ? count : 0));
    for (size_t i = 0; i < reversed.size() / 2; ++i)
        std::swap(reversed[i], reversed[reversed.size() - 1 - i]);
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    VARIANT ignored;
    const HRESULT hr = Invoke(object, name, DISPATCH_METHOD, params, result ? result : &ignored);
    if (!result && SUCCEEDED(hr))
        VariantClear(&ignored);
    return hr;
}

namespace {
// Walks path to the object that owns its last name and applies act to them.
template <class Act>
HRESULT OnPathOwner(IDispatch *object, const wchar_t *path, Act act)
{
    if (!object)
        return E_POINTER;
    IDispatch *owner = nullptr;
    std::wstring last;
    HRESULT hr = WalkPath(object, path, &owner, last);
    if (FAILED(hr))
        return hr;
    hr = act(owner, last.c_str());
    owner->Release();
    return hr;
}
}  // namespace

HRESULT GetDispPropertyPath(IDispatch *object, const wchar_t *path, VARIANT *result)
{
    return OnPathOwner(object, path,
                       [result](IDispatch *owner, const wchar_t *name) { return GetDispProperty(owner, name, result); });
}

HRESULT PutDispPropertyPath(IDispatch *object, const wchar_t *path, const VARIANT &value)
{
    return OnPathOwner(object, path,
                       [&value](IDispatch *owner, const wchar_t *name) { return PutDispProperty(owner, name, value); });
}
