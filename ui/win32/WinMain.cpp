// MAVIK.exe: the window program on Windows, with the platform's own controls.

#include <windows.h>

#include <commctrl.h>

#include "Win32Form.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    Win32Form MAVIKForm(instance);
    ShowWindow(MAVIKForm.Window(), show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (MAVIKForm.TakeKey(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
