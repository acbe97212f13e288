// A window of another process for the Windows backend's tests: an ordinary
// top-level window with the title and outer rectangle given on its command
// line ("title" left top width height), living until it is closed.
#include <windows.h>

#include <cwchar>
#include <shellapi.h>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int number(wchar_t** args, int count, int index, int fallback) {
    return index < count ? static_cast<int>(std::wcstol(args[index], nullptr, 10)) : fallback;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    const wchar_t* title = count > 1 ? args[1] : L"";
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.lpszClassName = L"SizewiseTestClient";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW,
                                        number(args, count, 2, 200), number(args, count, 3, 200),
                                        number(args, count, 4, 300), number(args, count, 5, 200),
                                        nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    LocalFree(args);
    return 0;
}
