// The library's application object: one static instance that lives as long as the module
// and holds the process's one connection state.
#pragma once

#include <windows.h>

#include "ConnectionState.h"

// The part of an application object that every library module would share: the module
// handle and the start/stop hooks that DllMain calls.
class CDllApp {
public:
    CDllApp() = default;
    virtual ~CDllApp() = default;
    CDllApp(const CDllApp&) = delete;
    CDllApp& operator=(const CDllApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    HINSTANCE m_hInstance = nullptr;
};

class CKeploApp final : public CDllApp {
public:
    CKeploApp();
    ~CKeploApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    keplo::ConnectionState m_state;

private:
    bool m_bSocketsStarted = false;
};

extern CKeploApp theApp;

// Exports that come from outside switch to the library's own module state for their
// duration. This library keeps no per-module state beyond theApp (no resources are looked
// up by module, no window classes are shared), so the switch is empty; the guard marks the
// entry points that would need it if such state ever appears.
class CKeploModuleScope {
public:
    CKeploModuleScope() = default;
    CKeploModuleScope(const CKeploModuleScope&) = delete;
    CKeploModuleScope& operator=(const CKeploModuleScope&) = delete;
};

#define KEPLO_MANAGE_STATE() [[maybe_unused]] const CKeploModuleScope keploModuleScope_
