// The Windows program's countdown, in-process on its own runtime and timers, under Wine:
// - how punctually its warning opens: started at 00:00:02 with a click on the toggle, T + 1 = 3
//   seconds later, timed as the message that opened it has been handled;
// - a minute of countdown against the floor of the job, an empty Win32 window whose one label
//   a window timer changes once a second, in interleaved turns: each tick's lateness against
//   the schedule, and the CPU time a minute of each takes, with the spread of the turns' ratios.
// Usage: bench_countdown [RUNS [TICKS]]   (scripts/bench runs it under Wine)
#include "confirm/shutdownform.h"
#include "linuxprocess.h"
#include "quietroad.h"
#include "timer/mainform.h"
#include "win32/win32runtime.h"
#include "win32/win32window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
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

double cpuMs()
{
    // Under Wine, Linux's own count: the system's process times come in steps of 10 ms there,
    // three or four steps to a minute of countdown.
    static const LinuxProcess process;
    if (const double ms = process.cpuMs(); !std::isnan(ms))
        return ms;
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    const auto ms = [](const FILETIME &time) {
        return double((std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

// One message at a time, so that each change is timed as the message that made it is handled.
void pumpUntil(const std::function<bool()> &done)
{
    MSG message;
    while (!done()) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100 * double(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

struct Ticks {
    std::vector<double> lateness; // ms off the schedule, early counting as late
    double cpuMsPerMinute = 0;
};

// Times each change of `text` against a schedule of one second from `start`.
Ticks follow(int ticks, double start, const std::function<std::wstring()> &text)
{
    Ticks result;
    std::wstring shown = text();
    const double cpuBefore = cpuMs();
    for (int tick = 1; tick <= ticks; ++tick) {
        pumpUntil([&] { return text() != shown; });
        shown = text();
        result.lateness.push_back(std::abs(now() - start - tick * 1000.0));
    }
    result.cpuMsPerMinute = (cpuMs() - cpuBefore) * 60 / ticks;
    return result;
}

LRESULT CALLBACK bare(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        static int count = 99;
        const std::wstring text = std::to_wstring(--count % 90 + 10);
        SetWindowTextW(GetWindow(window, GW_CHILD), text.c_str());
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    const int ticks = argc > 2 ? std::atoi(argv[2]) : 60;
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
        pumpUntil([&] { return form.shutDownForm() && form.shutDownForm()->isLoaded(); });
        lateness.push_back(now() - start - 3000);
        std::printf("run %d: the warning opened %.2f ms after start + 3 s\n", run + 1,
                    lateness.back());
        form.shutDownForm()->cmdCancel_Click();
    }
    std::sort(lateness.begin(), lateness.end());
    std::printf("warning_drift_ms median %.2f max %.2f\n", lateness[lateness.size() / 2],
                lateness.back());

    // The program's countdown and the floor of the job, an empty window whose one label a
    // window timer changes each second, in turns of ten ticks taken one after the other, so that
    // the machine's moods fall on both alike.
    timer::MainForm form(runtime, road);
    form.window().show();
    runtime.processMessages();
    const HWND toggle =
        dynamic_cast<ui::win32::Win32Window &>(form.window()).control("cmdStartQuickTimer");
    WNDCLASSEXW windowClass{sizeof windowClass};
    windowClass.lpfnWndProc = bare;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"BareTicking";
    RegisterClassExW(&windowClass);
    const HWND window =
        CreateWindowExW(0, L"BareTicking", L"Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 300, 230, nullptr, nullptr, windowClass.hInstance, nullptr);
    const HWND label = CreateWindowExW(0, L"STATIC", L"00", WS_CHILD | WS_VISIBLE | SS_CENTER, 134,
                                       96, 29, 18, window, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOW);
    constexpr int TurnTicks = 10;
    std::vector<double> ourLateness, floorLateness, ourCpu, floorCpu, ratios;
    for (int turn = 0; turn < std::max(1, ticks / TurnTicks); ++turn) {
        form.ShowQuickTimerSeconds(TurnTicks + 10);
        SendMessageW(toggle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(toggle, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        const Ticks ours = follow(TurnTicks, now(), [&] {
            const std::string caption = form.window().label("lblQTimerSecond").caption();
            return std::wstring(caption.begin(), caption.end());
        });
        form.MyButton2_Click();
        SetTimer(window, 1, 1000, nullptr);
        const Ticks floor = follow(TurnTicks, now(), [&] {
            wchar_t text[8] = {};
            GetWindowTextW(label, text, 8);
            return std::wstring(text);
        });
        KillTimer(window, 1);
        ourLateness.insert(ourLateness.end(), ours.lateness.begin(), ours.lateness.end());
        floorLateness.insert(floorLateness.end(), floor.lateness.begin(), floor.lateness.end());
        ourCpu.push_back(ours.cpuMsPerMinute);
        floorCpu.push_back(floor.cpuMsPerMinute);
        ratios.push_back(ours.cpuMsPerMinute / std::max(0.01, floor.cpuMsPerMinute));
    }
    DestroyWindow(window);

    std::printf("tick_p99_ms %.2f baseline %.2f\n", percentile(ourLateness, 99),
                percentile(floorLateness, 99));
    std::printf("cpu_ms_per_min %.2f baseline %.2f ratio %.2f from %.2f to %.2f\n",
                percentile(ourCpu, 50), percentile(floorCpu, 50), percentile(ratios, 50),
                percentile(ratios, 0), percentile(ratios, 100));
    return 0;
}
