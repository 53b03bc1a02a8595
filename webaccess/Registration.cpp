// Component entry points. The library serves no classes; it registers only its type library
// (resource TYPELIB 1 of the module), as its predecessors did.
#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <array>

#include "KeploApp.h"

namespace {

// {eb36795d-b847-42f7-8249-7a45d77d3171}, the library identifier in Keplo.idl.
constexpr GUID kTypeLibId = {0xeb36795d, 0xb847, 0x42f7, {0x82, 0x49, 0x7a, 0x45, 0xd7, 0x7d, 0x31, 0x71}};
constexpr WORD kTypeLibMajor = 1;
constexpr WORD kTypeLibMinor = 0;

#ifdef _WIN64
constexpr SYSKIND kSysKind = SYS_WIN64;
#else
constexpr SYSKIND kSysKind = SYS_WIN32;
#endif

class TypeLibHolder {
public:
    TypeLibHolder() = default;
    ~TypeLibHolder()
    {
        if (m_lib)
            m_lib->Release();
    }
    TypeLibHolder(const TypeLibHolder&) = delete;
    TypeLibHolder& operator=(const TypeLibHolder&) = delete;
    ITypeLib** Out() { return &m_lib; }
    ITypeLib* Get() const { return m_lib; }

private:
    ITypeLib* m_lib = nullptr;
};

bool RegisterOwnTypeLib()
{
    std::array<wchar_t, MAX_PATH + 1> path{};
    const DWORD length = GetModuleFileNameW(theApp.m_hInstance, path.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    TypeLibHolder lib;
    if (FAILED(LoadTypeLibEx(path.data(), REGKIND_NONE, lib.Out())))
        return false;
    return SUCCEEDED(RegisterTypeLib(lib.Get(), path.data(), nullptr));
}

bool UnregisterOwnTypeLib()
{
    return SUCCEEDED(UnRegisterTypeLib(kTypeLibId, kTypeLibMajor, kTypeLibMinor, LOCALE_NEUTRAL, kSysKind));
}

} // namespace

STDAPI DllGetClassObject(REFCLSID /*rclsid*/, REFIID /*riid*/, LPVOID* ppv)
{
    KEPLO_MANAGE_STATE();
    if (ppv)
        *ppv = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow(void)
{
    KEPLO_MANAGE_STATE();
    return S_OK; // no objects are ever handed out
}

STDAPI DllRegisterServer(void)
{
    KEPLO_MANAGE_STATE();
    if (!RegisterOwnTypeLib())
        return SELFREG_E_TYPELIB;
    return S_OK; // there are no class factories whose registration could fail
}

STDAPI DllUnregisterServer(void)
{
    KEPLO_MANAGE_STATE();
    if (!UnregisterOwnTypeLib())
        return SELFREG_E_TYPELIB;
    return S_OK;
}
