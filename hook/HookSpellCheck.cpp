#include "HookSpellCheck.h"

#include <objbase.h>

namespace {

const char kCaption[] = "Dravik";

// The component's interface; only its ninth method (after the three of
// IUnknown and five others) is called.
const IID kSpellInterface = {0x73E469E5, 0xE869, 0x4CF7, {0x93, 0xF6, 0xD4, 0x4C, 0x98, 0x51, 0xA7, 0x00}};
typedef HRESULT(STDMETHODCALLTYPE *CheckWindowMethod)(IUnknown *self, HWND root, HWND window, LONG flags);

typedef HRESULT(WINAPI *CoInitializeExFn)(LPVOID, DWORD);
typedef void(WINAPI *CoUninitializeFn)();
typedef HRESULT(WINAPI *CLSIDFromProgIDFn)(LPCOLESTR, LPCLSID);
typedef HRESULT(WINAPI *CoCreateInstanceFn)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID *);
typedef HRESULT(WINAPI *OleRunFn)(LPUNKNOWN);

template <typename F>
F Entry(HMODULE module, const char *name)
{
    return reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

void CheckWith(HMODULE ole, HWND window)
{
    const auto progIdToClsid = Entry<CLSIDFromProgIDFn>(ole, "CLSIDFromProgID");
    const auto create = Entry<CoCreateInstanceFn>(ole, "CoCreateInstance");
    const auto run = Entry<OleRunFn>(ole, "OleRun");
    CLSID clsid;
    if (!progIdToClsid || FAILED(progIdToClsid(L"Speltra.BrowserSpell", &clsid))) {
        MessageBoxA(GetActiveWindow(), "Corvalen spell checker engine not installed!", kCaption,
                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    const DWORD contexts = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
    IUnknown *speller = nullptr;
    HRESULT hr = create ? create(clsid, nullptr, contexts, kSpellInterface, reinterpret_cast<void **>(&speller))
                        : E_NOINTERFACE;
    if (FAILED(hr) && create && run) {
        // An out-of-process server: create it plainly, run it, then ask.
        IUnknown *object = nullptr;
        if (SUCCEEDED(create(clsid, nullptr, contexts, IID_IUnknown, reinterpret_cast<void **>(&object))) && object) {
            if (SUCCEEDED(run(object)))
                hr = object->QueryInterface(kSpellInterface, reinterpret_cast<void **>(&speller));
            object->Release();
        }
    }
    if (FAILED(hr) || !speller) {
        MessageBoxA(GetActiveWindow(), "Can't create spell checker engine!", kCaption, MB_OK);
        return;
    }
    void **table = *reinterpret_cast<void ***>(speller);
    const auto checkWindow = reinterpret_cast<CheckWindowMethod>(table[8]);
    checkWindow(speller, GetAncestor(window, GA_ROOT), window, 0);  // its result changes nothing here
    speller->Release();
}

}  // namespace

void RunSpellCheck(HWND window)
{
    HMODULE ole = LoadLibraryA("ole32.dll");
    if (!ole) {
        MessageBoxA(GetActiveWindow(), "Corvalen spell checker engine not installed!", kCaption,
                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    const auto initialize = Entry<CoInitializeExFn>(ole, "CoInitializeEx");
    const auto uninitialize = Entry<CoUninitializeFn>(ole, "CoUninitialize");
    const bool initialized = initialize && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    CheckWith(ole, window);
    if (initialized && uninitialize)
        uninitialize();
    FreeLibrary(ole);
}
