// Keplo.dll as a module: exports by name, version and type library resources, registration,
// and the version string.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "Keplo.h"

namespace {

HMODULE KeploModule()
{
    return GetModuleHandleW(L"Keplo.dll");
}

std::wstring ModulePath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(KeploModule(), path, MAX_PATH);
    return path;
}

// The component entry points are not in the import library (system DLLs export the same
// names), so they are reached the way a registration tool reaches them.
HRESULT CallEntry(const char* name)
{
    using EntryPoint = HRESULT(STDAPICALLTYPE*)();
    auto entry = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(KeploModule(), name)));
    return entry ? entry() : E_NOTIMPL;
}

} // namespace

TEST(KeploModule, ExportsByName)
{
    for (const char* name : {"openConnection",
                             "closeConnection",
                             "webGet",
                             "webPost",
                             "webUploadFile",
                             "keploVersion",
                             "getWebAcceptEncoding",
                             "setWebAcceptEncoding",
                             "getWebAcceptLanguage",
                             "setWebAcceptLanguage",
                             "getWebAcceptCharest",
                             "setWebAcceptCharest",
                             "getWebCookieID",
                             "setWebCookieID",
                             "getWebPostContentType",
                             "setWebPostContentType",
                             "currentInterfaceIndex",
                             "releaseInterfaceIPAddress",
                             "renewInterfaceIPAddress",
                             "setInterfaceIPToAuto",
                             "setInterfaceDNSToAuto",
                             "setInterfaceStaticIP",
                             "setInterfaceStaticDNS",
                             "DllCanUnloadNow",
                             "DllGetClassObject",
                             "DllRegisterServer",
                             "DllUnregisterServer"})
        EXPECT_NE(GetProcAddress(KeploModule(), name), nullptr) << name;
}

TEST(KeploModule, VersionResource)
{
    const std::wstring path = ModulePath();
    DWORD handle = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeW(path.c_str(), &handle));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u); // 1.0
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u); // .1.0
    for (const wchar_t* name : {L"InternalName", L"OriginalFilename"}) {
        void* value = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
        ASSERT_TRUE(VerQueryValueW(info.data(), query.c_str(), &value, &length)) << name;
        EXPECT_STREQ(static_cast<const wchar_t*>(value), L"Keplo.dll");
    }
}

TEST(KeploModule, TypeLibraryResourceAndRegistration)
{
    ITypeLib* lib = nullptr;
    ASSERT_EQ(LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &lib), S_OK);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(attr->wMajorVerNum * 100 + attr->wMinorVerNum, 100);
    const GUID libId = attr->guid;
    BSTR name = nullptr;
    EXPECT_EQ(lib->GetDocumentation(-1, &name, nullptr, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"Keplo");
    EXPECT_EQ(lib->GetTypeInfoCount(), 0u);
    SysFreeString(name);
    lib->ReleaseTLibAttr(attr);
    lib->Release();

    BSTR registered = nullptr;
    EXPECT_EQ(CallEntry("DllRegisterServer"), S_OK);
    EXPECT_EQ(QueryPathOfRegTypeLib(libId, 1, 0, LOCALE_NEUTRAL, &registered), S_OK);
    SysFreeString(registered);
    EXPECT_EQ(CallEntry("DllUnregisterServer"), S_OK);
    EXPECT_NE(QueryPathOfRegTypeLib(libId, 1, 0, LOCALE_NEUTRAL, &registered), S_OK);
    EXPECT_EQ(CallEntry("DllUnregisterServer"), SELFREG_E_TYPELIB); // nothing left to remove
    EXPECT_EQ(CallEntry("DllCanUnloadNow"), S_OK);
}

TEST(KeploModule, VersionStringHasNoTerminator)
{
    wchar_t buffer[10] = {L'#', L'#', L'#', L'#', L'#', L'#', L'#', L'#', L'#', L'#'};
    EXPECT_EQ(keploVersion(buffer, 0), 0);
    EXPECT_EQ(std::wstring(buffer, 8), L"1.0.0.7#");
    EXPECT_EQ(keploVersion(nullptr, 0), ERROR_INVALID_PARAMETER);
}
