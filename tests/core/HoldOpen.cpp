// A second program that holds a file open, as the game or a backup tool would:
//   hold_open write|read FILE READY_EVENT RELEASE_EVENT
// "write": open for writing, others may only read; "read": open for reading,
// others may read and write but not delete or replace it. Signals READY_EVENT
// once the file is open and keeps it open until RELEASE_EVENT is signalled.

#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 5)
        return 2;
    const bool write = std::wcscmp(argv[1], L"write") == 0;
    HANDLE file = CreateFileW(argv[2], write ? GENERIC_WRITE : GENERIC_READ,
                              write ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]);
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, argv[4]);
    if (file == INVALID_HANDLE_VALUE || !ready || !release)
        return 1;
    SetEvent(ready);
    WaitForSingleObject(release, 60000);
    CloseHandle(file);
    return 0;
}
