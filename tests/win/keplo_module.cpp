// Keplo.dll as a module: its exports, version and type library resources, component entry
// points, and the header settings as the program reaches them.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "Keplo.h"

namespace {

HMODULE KeploModule() { return GetModuleHandleW(L"Keplo.dll"); }

// The component entry points are not in the import library (system DLLs export the same
// names), so they are reached the way a registration tool reaches them.
using EntryPoint = HRESULT(STDAPICALLTYPE*)();
HRESULT CallEntry(const char* name) {
    auto entry = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(KeploModule(), name)));
    return entry ? entry() : E_NOTIMPL;
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(KeploModule(), path, MAX_PATH);
    return path;
}

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name) {
    std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), query.c_str(), &value, &length) || !value) return L"";
    return static_cast<const wchar_t*>(value);
}

}  // namespace

TEST(KeploModule, ExportsAreLoadedByName) {
    ASSERT_NE(KeploModule(), nullptr);
    const char* names[] = {"openConnection", "closeConnection", "webGet", "webPost", "webUploadFile",
                           "keploVersion", "getWebAcceptEncoding", "setWebAcceptEncoding",
                           "getWebAcceptLanguage", "setWebAcceptLanguage", "getWebAcceptCharest",
                           "setWebAcceptCharest", "getWebCookieID", "setWebCookieID",
                           "getWebPostContentType", "setWebPostContentType", "currentInterfaceIndex",
                           "releaseInterfaceIPAddress", "renewInterfaceIPAddress", "setInterfaceIPToAuto",
                           "setInterfaceDNSToAuto", "setInterfaceStaticIP", "setInterfaceStaticDNS",
                           "DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"};
    for (const char* name : names) EXPECT_NE(GetProcAddress(KeploModule(), name), nullptr) << name;
}

TEST(KeploModule, VersionResource) {
    const std::wstring path = ModulePath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u);
    EXPECT_EQ(VersionString(info, L"InternalName"), L"Keplo.dll");
    EXPECT_EQ(VersionString(info, L"OriginalFilename"), L"Keplo.dll");
}

TEST(KeploModule, TypeLibraryResourceAndRegistration) {
    ITypeLib* lib = nullptr;
    ASSERT_EQ(LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &lib), S_OK);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    const GUID libId = attr->guid;
    BSTR name = nullptr;
    EXPECT_EQ(lib->GetDocumentation(-1, &name, nullptr, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"Keplo");
    SysFreeString(name);
    EXPECT_EQ(lib->GetTypeInfoCount(), 0u);
    lib->ReleaseTLibAttr(attr);
    lib->Release();

    EXPECT_EQ(CallEntry("DllRegisterServer"), S_OK);
    BSTR registered = nullptr;
    EXPECT_EQ(QueryPathOfRegTypeLib(libId, 1, 0, LOCALE_NEUTRAL, &registered), S_OK);
    SysFreeString(registered);
    EXPECT_EQ(CallEntry("DllUnregisterServer"), S_OK);
    EXPECT_NE(QueryPathOfRegTypeLib(libId, 1, 0, LOCALE_NEUTRAL, &registered), S_OK);
    // Nothing left to remove: the type library step reports its failure.
    EXPECT_EQ(CallEntry("DllUnregisterServer"), SELFREG_E_TYPELIB);
}

TEST(KeploModule, ClassObjectsAndUnloading) {
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(KeploModule(), "DllGetClassObject")));
    ASSERT_NE(getClassObject, nullptr);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject(CLSID_NULL, IID_IUnknown, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CallEntry("DllCanUnloadNow"), S_OK);
}

TEST(KeploModule, VersionStringHasNoTerminator) {
    wchar_t buffer[10];
    for (wchar_t& c : buffer) c = L'#';
    EXPECT_EQ(keploVersion(buffer, 0), 0);
    EXPECT_EQ(std::wstring(buffer, 8), L"1.0.0.7#");
    EXPECT_EQ(keploVersion(nullptr, 0), ERROR_INVALID_PARAMETER);
}

TEST(KeploModule, HeaderSettingsThroughTheExports) {
    struct Setting {
        int(KEPLO_CALL* get)(wchar_t*, int*);
        int(KEPLO_CALL* set)(const wchar_t*);
        const wchar_t* initial;
    };
    const Setting settings[] = {
        {getWebAcceptEncoding, setWebAcceptEncoding, L"gzip,deflate,sdch"},
        {getWebAcceptLanguage, setWebAcceptLanguage, L"zh-TW,zh;q=0.8,en-US;q=0.6,en;q=0.4"},
        {getWebAcceptCharest, setWebAcceptCharest, L"Big5,utf-8;q=0.7,*;q=0.3"},
        {getWebPostContentType, setWebPostContentType, L"application/x-www-form-urlencoded"},
        {getWebCookieID, setWebCookieID, L""},
    };
    for (const Setting& s : settings) {
        wchar_t buffer[64] = {};
        int size = 64;
        ASSERT_EQ(s.get(buffer, &size), 0);
        EXPECT_STREQ(buffer, s.initial);

        EXPECT_EQ(s.set(L"value-1"), 0);
        size = 7;
        buffer[0] = L'#';
        EXPECT_EQ(s.get(buffer, &size), -1);
        EXPECT_EQ(size, 8);
        EXPECT_EQ(buffer[0], L'#');
        EXPECT_EQ(s.get(buffer, &size), 0);
        EXPECT_STREQ(buffer, L"value-1");

        EXPECT_EQ(s.set(nullptr), 0);
        size = 64;
        EXPECT_EQ(s.get(buffer, &size), 0);
        EXPECT_STREQ(buffer, L"");
        EXPECT_EQ(s.set(s.initial), 0);
    }
}
