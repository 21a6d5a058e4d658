// How punctually the Windows program's warning opens: in-process, on its own runtime and timers,
// started at 00:00:02 with a click on the toggle, T + 1 = 3 seconds later. Timed as the message
// that opened it has been handled, before it is painted.
// Usage: bench_countdown [RUNS]   (scripts/bench runs it under Wine)
#include "confirm/shutdownform.h"
#include "quietroad.h"
#include "timer/mainform.h"
#include "win32/win32runtime.h"
#include "win32/win32window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double now()
{
    LARGE_INTEGER count;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return double(count.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    ui::win32::Win32Runtime runtime(GetModuleHandleW(nullptr));
    QuietRoad road;
    std::vector<double> lateness;
    for (int run = 0; run < runs; ++run) {
        timer::MainForm form(runtime, road);
        form.window().show();
        runtime.processMessages();
        form.ShowQuickTimerSeconds(2);
        const HWND toggle =
            dynamic_cast<ui::win32::Win32Window &>(form.window()).control("cmdStartQuickTimer");
        SendMessageW(toggle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(toggle, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        const double start = now();
        // One message at a time, so that the one that opened the warning is the one timed.
        MSG message;
        while (!form.shutDownForm() || !form.shutDownForm()->isLoaded()) {
            if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        lateness.push_back(now() - start - 3000);
        std::printf("run %d: the warning opened %.2f ms after start + 3 s\n", run + 1,
                    lateness.back());
        form.shutDownForm()->cmdCancel_Click();
    }
    std::sort(lateness.begin(), lateness.end());
    std::printf("warning_drift_ms median %.2f max %.2f\n", lateness[lateness.size() / 2],
                lateness.back());
    return 0;
}
