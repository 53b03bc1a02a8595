// The one application object of Tarvo.exe.
#include "TarvoApp.h"

CTarvoApp theApp;
