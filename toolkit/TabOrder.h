#pragma once
// Tab follows a dialog's z-order. This puts the controls that take the focus
// in reading order (ReadingOrder.h) among the places they hold in the
// z-order; a radio group moves as one, at the place of its first button.
// Every other control keeps its place, so what paints over what stays as the
// template has it.
#include <windows.h>

void ArrangeTabOrder(HWND dialog);
