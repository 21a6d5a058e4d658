// A day of ticks: the Windows program's main window counts down 23:59:59 to its warning, under
// Wine, its timer driven as fast as the window takes a tick and repaints; what the process holds
// after the first minute, before the first heads-up and with the warning open: resident memory,
// GDI and USER objects, kernel handles.
// Usage: bench_dayofticks   (scripts/bench runs it under Wine)
#include "app/commandline.h"
#include "confirm/shutdownform.h"
#include "quietroad.h"
#include "timer/mainform.h"
#include "win32/timercontrol.h"
#include "win32/win32runtime.h"
#include "win32/win32window.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Held {
    double residentMiB = 0;
    unsigned gdi = 0, windows = 0, handles = 0;
};

// GetGuiResources and GetProcessHandleCount answer 0 under Wine, so the objects are counted
// where both systems keep them: the GDI handle table the process environment block points to
// (24 bytes a handle: the owner's process id at byte 8, none under Wine, whose table is the
// process's own, and the type at byte 14), the windows of this process, and the system's list
// of handles.
unsigned gdiObjects()
{
    PROCESS_BASIC_INFORMATION basic{};
    NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic,
                              nullptr);
    const auto *peb = reinterpret_cast<const unsigned char *>(basic.PebBaseAddress);
    const auto *table = *reinterpret_cast<const unsigned char *const *>(peb + 0xF8);
    if (!table)
        return 0;
    const auto self = USHORT(GetCurrentProcessId());
    unsigned count = 0;
    for (unsigned i = 0; i < 0x10000; ++i) {
        const unsigned char *entry = table + 24 * i;
        const USHORT owner = *reinterpret_cast<const USHORT *>(entry + 8);
        count += entry[14] != 0 && (owner == self || owner == 0);
    }
    return count;
}

BOOL CALLBACK countChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<unsigned *>(count);
    return TRUE;
}

BOOL CALLBACK countWindow(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        ++*reinterpret_cast<unsigned *>(count);
        EnumChildWindows(window, countChild, count);
    }
    return TRUE;
}

unsigned windows()
{
    unsigned count = 0;
    EnumWindows(countWindow, LPARAM(&count));
    return count;
}

unsigned kernelHandles()
{
    struct Entry {
        ULONG owner;
        BYTE type, flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    std::vector<unsigned char> buffer(1 << 16);
    ULONG size = 0;
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(SYSTEM_INFORMATION_CLASS(16), buffer.data(),
                                              ULONG(buffer.size()), &size)) == LONG(0xC0000004))
        buffer.resize(buffer.size() * 2);
    if (status < 0)
        return 0;
    const ULONG entries = *reinterpret_cast<const ULONG *>(buffer.data());
    const auto *entry = reinterpret_cast<const Entry *>(buffer.data() + sizeof(void *));
    return unsigned(std::count_if(entry, entry + entries,
                                  [](const Entry &e) { return e.owner == GetCurrentProcessId(); }));
}

Held held()
{
    Held now;
    // Under Wine, Linux's resident size for the process.
    PROCESS_MEMORY_COUNTERS memory{sizeof memory};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    now.residentMiB = double(memory.WorkingSetSize) / (1 << 20);
    now.gdi = gdiObjects();
    now.windows = windows();
    now.handles = kernelHandles();
    return now;
}

} // namespace

int main()
{
    ui::win32::Win32Runtime runtime(GetModuleHandleW(nullptr));
    QuietRoad road;
    timer::MainForm form(runtime, road);
    form.window().show();
    runtime.processMessages();
    form.ShowQuickTimerSeconds(app::LongestSpan);
    const HWND toggle =
        dynamic_cast<ui::win32::Win32Window &>(form.window()).control("cmdStartQuickTimer");
    SendMessageW(toggle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(toggle, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    auto &tick = dynamic_cast<ui::win32::TimerControl &>(form.window().timer("tmrQuickTimer"));
    const auto warned = [&] { return form.shutDownForm() && form.shutDownForm()->isLoaded(); };
    // Each tick as its window timer would bring it, then its repaint; the first minute warms
    // up what is made once (fonts, brushes, the warning made ahead comes at the very end).
    int ticks = 0;
    const auto run = [&](int most) {
        for (int i = 0; i < most && !warned(); ++i, ++ticks) {
            tick.ticked();
            runtime.processMessages();
        }
    };
    // From the end of the first minute to the last tick before the first heads-up, 5 minutes
    // before the end: the count alone. Then the heads-ups and the warning, made once.
    run(60);
    const Held start = held();
    const DWORD began = GetTickCount();
    run(app::LongestSpan - 300 - ticks - 1);
    const Held counted = held();
    run(app::LongestSpan);
    const Held warnedHeld = held();
    const double seconds = double(GetTickCount() - began) / 1000;
    const bool reached = warned();
    if (reached)
        form.shutDownForm()->cmdCancel_Click(); // nothing here may ask for a power-off
    std::printf("ticks %d warning %s in %.1f s\n", ticks, reached ? "opened" : "never opened",
                seconds);
    std::printf("resident_mib start %.2f counted %.2f warned %.2f\n", start.residentMiB,
                counted.residentMiB, warnedHeld.residentMiB);
    std::printf("gdi_objects start %u counted %u warned %u\n", start.gdi, counted.gdi,
                warnedHeld.gdi);
    std::printf("windows start %u counted %u warned %u\n", start.windows, counted.windows,
                warnedHeld.windows);
    std::printf("kernel_handles start %u counted %u warned %u\n", start.handles, counted.handles,
                warnedHeld.handles);
    return reached ? 0 : 1;
}
