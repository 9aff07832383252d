// Measures programs that show the "Kest I&II OMNIVA Setup" sheet, from outside: it starts each
// one, polls until the sheet and its page are visible, waits until the program has painted them
// and waits for input, reads the peak working set, and presses Cancel. The programs are alternated
// round by round, so that drift in the machine's load reaches all of them alike.
//
// Usage: StartupMeter.exe RUNS IDLE_SECONDS LABEL PROGRAM ARGUMENTS [LABEL PROGRAM ARGUMENTS]...
// The first program is the one measured; the others are what it is compared with. Prints one
// line per run and then "median", "ratio" and "idle" lines; exits non-zero when a run fails.
// "visible" is the first poll (every millisecond) that sees the sheet and its page visible;
// "ready" is when the program, after that, first waits for input with nothing left to do, its
// painting included (WaitForInputIdle). The idle CPU is the process's kernel and user time, read
// a second after "ready" and again IDLE_SECONDS later.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const SheetCaption = "Kest I&II OMNIVA Setup";
constexpr DWORD ShowTimeoutMs = 60000;
constexpr DWORD ExitTimeoutMs = 20000;
constexpr DWORD SettleMs = 1000;

struct Program {
    std::string label;
    std::string path;
    std::string arguments;
    std::vector<double> visibleMs;
    std::vector<double> readyMs;
    std::vector<double> peakKiB;
};

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER value;
        QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * 1000.0 / frequency;
}

class Handle {
  public:
    explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
    ~Handle() {
        if (handle_)
            CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return handle_; }

  private:
    HANDLE handle_;
};

// The sheet of this process, once it and its page are both visible.
HWND ShownSheet(DWORD processId) {
    HWND candidate = nullptr;
    while ((candidate = FindWindowExA(nullptr, candidate, "#32770", SheetCaption))) {
        DWORD owner = 0;
        GetWindowThreadProcessId(candidate, &owner);
        if (owner != processId || !IsWindowVisible(candidate))
            continue;
        HWND page = FindWindowExA(candidate, nullptr, "#32770", nullptr);
        if (page && IsWindowVisible(page))
            return candidate;
    }
    return nullptr;
}

double Milliseconds(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 10000.0;
}

double CpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return -1;
    return Milliseconds(kernel) + Milliseconds(user);
}

struct RunResult {
    bool ok = false;
    double visibleMs = 0;
    double readyMs = 0;
    double peakKiB = 0;
    double idleCpuMs = -1;
    double totalCpuMs = -1; // start-up included: shows that the process's times can be read
};

// One start of the program, up to its sheet, and its clean end. With idleMs, the sheet is left
// alone that long and the CPU it used meanwhile is read.
RunResult RunOnce(const Program& program, DWORD idleMs) {
    RunResult result;
    std::string commandLine = "\"" + program.path + "\" " + program.arguments;
    const std::string folder = program.path.substr(0, program.path.find_last_of('\\'));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    const double start = Now();
    if (!CreateProcessA(program.path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        std::printf("error %s: cannot start (%lu)\n", program.label.c_str(), GetLastError());
        return result;
    }
    Handle process(info.hProcess);
    Handle thread(info.hThread);

    HWND sheet = nullptr;
    while (!(sheet = ShownSheet(info.dwProcessId))) {
        if (WaitForSingleObject(process.Get(), 1) == WAIT_OBJECT_0 || Now() - start > ShowTimeoutMs)
            break;
    }
    if (sheet) {
        result.visibleMs = Now() - start;
        // Asking the windows to paint from here would add a round trip between the processes
        // for every control; the program's own first idle moment comes after its painting.
        WaitForInputIdle(process.Get(), ShowTimeoutMs);
        result.readyMs = Now() - start;
        if (idleMs) {
            // The tail of the start-up (late messages, the first idle) is not the idle sheet.
            Sleep(SettleMs);
            const double before = CpuMs(process.Get());
            Sleep(idleMs);
            const double after = CpuMs(process.Get());
            result.idleCpuMs = before < 0 || after < 0 ? -1 : after - before;
            result.totalCpuMs = after;
        }
        PROCESS_MEMORY_COUNTERS memory = {};
        memory.cb = sizeof memory;
        if (GetProcessMemoryInfo(process.Get(), &memory, sizeof memory))
            result.peakKiB = static_cast<double>(memory.PeakWorkingSetSize) / 1024.0;
        PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    } else {
        std::printf("error %s: no sheet shown\n", program.label.c_str());
    }

    // A copy left running would make the next start of the tool refuse.
    if (WaitForSingleObject(process.Get(), ExitTimeoutMs) != WAIT_OBJECT_0) {
        std::printf("error %s: did not end after Cancel\n", program.label.c_str());
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), ExitTimeoutMs);
        return result;
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(process.Get(), &exitCode);
    if (exitCode != 0) {
        std::printf("error %s: exit code %ld\n", program.label.c_str(),
                    static_cast<long>(exitCode));
        return result;
    }
    result.ok = sheet != nullptr;
    return result;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 6 || (argc - 3) % 3 != 0) {
        std::fprintf(stderr, "usage: %s RUNS IDLE_SECONDS LABEL PROGRAM ARGUMENTS...\n", argv[0]);
        return 2;
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    const int runs = std::atoi(argv[1]);
    const DWORD idleMs = static_cast<DWORD>(std::atof(argv[2]) * 1000);
    std::vector<Program> programs;
    for (int i = 3; i + 2 < argc; i += 3)
        programs.push_back({argv[i], argv[i + 1], argv[i + 2], {}, {}, {}});

    bool failed = false;
    // Round 0 warms Wine's caches and is not counted.
    for (int round = 0; round <= runs; ++round) {
        for (std::size_t k = 0; k < programs.size(); ++k) {
            Program& program = programs[(k + static_cast<std::size_t>(round)) % programs.size()];
            const RunResult run = RunOnce(program, 0);
            failed |= !run.ok;
            if (!run.ok || round == 0)
                continue;
            program.visibleMs.push_back(run.visibleMs);
            program.readyMs.push_back(run.readyMs);
            program.peakKiB.push_back(run.peakKiB);
            std::printf("run %s %d visible_ms %.1f ready_ms %.1f peak_kib %.0f\n",
                        program.label.c_str(), round, run.visibleMs, run.readyMs, run.peakKiB);
        }
    }

    for (const Program& program : programs)
        std::printf("median %s runs %zu visible_ms %.1f ready_ms %.1f peak_kib %.0f\n",
                    program.label.c_str(), program.readyMs.size(), Median(program.visibleMs),
                    Median(program.readyMs), Median(program.peakKiB));
    const Program& subject = programs.front();
    for (std::size_t k = 1; k < programs.size(); ++k) {
        const Program& other = programs[k];
        std::printf("ratio %s/%s visible %.3f ready %.3f memory %.3f\n", subject.label.c_str(),
                    other.label.c_str(), Median(subject.visibleMs) / Median(other.visibleMs),
                    Median(subject.readyMs) / Median(other.readyMs),
                    Median(subject.peakKiB) / Median(other.peakKiB));
        // Differences within the same round, which the machine's slow drift does not reach.
        if (subject.readyMs.size() == other.readyMs.size()) {
            std::vector<double> visible, ready;
            for (std::size_t i = 0; i < subject.readyMs.size(); ++i) {
                visible.push_back(subject.visibleMs[i] - other.visibleMs[i]);
                ready.push_back(subject.readyMs[i] - other.readyMs[i]);
            }
            std::printf("added %s-%s visible_ms %.1f ready_ms %.1f\n", subject.label.c_str(),
                        other.label.c_str(), Median(visible), Median(ready));
        }
    }

    if (idleMs) {
        for (const Program& program : programs) {
            const RunResult run = RunOnce(program, idleMs);
            failed |= !run.ok;
            std::printf("idle %s seconds %.1f cpu_ms %.1f total_cpu_ms %.1f\n",
                        program.label.c_str(), idleMs / 1000.0, run.idleCpuMs, run.totalCpuMs);
        }
    }
    return failed ? 1 : 0;
}
