#include "util/system_queries.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "scratch_folder.h"

namespace {

// The folder of this test program, where the probes are built too.
std::string ProgramFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int posted = 0;

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_APP) ++posted;
    return DefWindowProcA(window, message, w, l);
}

TEST(DrainMessageQueue, DeliversEveryWaitingMessageAndReturnsWhenEmpty) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CountingProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PtDrainTest";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowA("PtDrainTest", "", 0, 0, 0, 10, 10, HWND_MESSAGE,
                                      nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    posted = 0;
    for (int i = 0; i < 3; ++i) PostMessageA(window, WM_APP, 0, 0);
    DrainMessageQueue();
    EXPECT_EQ(posted, 3);
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, nullptr, 0, 0, PM_NOREMOVE));
    DrainMessageQueue();  // an empty queue: returns at once
    DestroyWindow(window);
    UnregisterClassA("PtDrainTest", windowClass.hInstance);
}

TEST(LaunchProcess, WaitsForTheProgramOnlyWhenAsked) {
    ScratchFolder folder;
    const std::string probe = ProgramFolder() + "launch_probe.exe";
    const std::string waited = folder.Path("waited");
    std::string command = "\"" + probe + "\" \"" + waited + "\"";
    EXPECT_TRUE(LaunchProcess(command.data(), true));
    EXPECT_TRUE(Exists(waited));

    const char* eventName = "PathTaggerLaunchProcessTest";
    const HANDLE go = CreateEventA(nullptr, TRUE, FALSE, eventName);
    const std::string later = folder.Path("later");
    command = "\"" + probe + "\" \"" + later + "\" " + eventName;
    EXPECT_TRUE(LaunchProcess(command.data(), false));
    EXPECT_FALSE(Exists(later)) << "the program still waits for the event";
    SetEvent(go);
    for (int i = 0; i < 200 && !Exists(later); ++i) Sleep(50);  // guard, not a measure
    EXPECT_TRUE(Exists(later));
    CloseHandle(go);

    std::string missing = "\"" + folder.Path("no_such_program.exe") + "\"";
    EXPECT_FALSE(LaunchProcess(missing.data(), true));
}

// Runs the version probe as the system version that Wine is told to report
// for it, and returns its exit code.
DWORD FamilyProbeAs(const char* version) {
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER,
                    "Software\\Wine\\AppDefaults\\version_family_probe.exe", 0, nullptr, 0,
                    KEY_SET_VALUE, nullptr, &key, nullptr);
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   static_cast<DWORD>(strlen(version) + 1));
    RegCloseKey(key);
    std::string command = "\"" + ProgramFolder() + "version_family_probe.exe\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return 99;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 98;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

TEST(IsWindowsXpFamily, HoldsForXpAndServer2003Only) {
    EXPECT_FALSE(IsWindowsXpFamily()) << "the prefix reports a later system";
    EXPECT_EQ(FamilyProbeAs("winxp"), 1u);
    EXPECT_EQ(FamilyProbeAs("win2003"), 1u);
    EXPECT_EQ(FamilyProbeAs("win2k"), 0u);
    EXPECT_EQ(FamilyProbeAs("vista"), 0u);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\version_family_probe.exe");
}

TEST(ScaleForDpi, ReadsTheScreenOnceAndScalesWithTheKeptValue) {
    SetCachedScreenDpi(-1, -1);
    const HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpiX, 96) << "a fresh prefix has a 96-dpi screen";
    EXPECT_EQ(ScaleForDpiX(100), 100);
    EXPECT_EQ(ScaleForDpiY(100), 100);
    SetCachedScreenDpi(120, 120);
    EXPECT_EQ(ScaleForDpiX(100), 132);
    EXPECT_EQ(ScaleForDpiY(100), 125);
    SetCachedScreenDpi(-1, -1);
    EXPECT_EQ(ScaleForDpiX(100), 100);
}

TEST(QueryDllVersion, PacksTheReportedVersion) {
    EXPECT_EQ(QueryDllVersion((ProgramFolder() + "version_probe.dll").c_str()), 0x00060000u);
    EXPECT_EQ(QueryDllVersion((ProgramFolder() + "version_probe_failing.dll").c_str()), 0u);
    EXPECT_EQ(QueryDllVersion("kernel32.dll"), 0u) << "no DllGetVersion export";
    EXPECT_EQ(QueryDllVersion("no_such_library.dll"), 0u);
}

}  // namespace
