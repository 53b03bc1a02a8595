#pragma once
#include "WinApp.h"

// The application object: picks the mode from the command line and runs it.
class CTarvoApp : public CWinApp {
public:
    BOOL InitInstance() override;

private:
    void HandOff();
};
