// kd_bench: what each export costs next to its floors, measured side by side in
// one run on one window and one settings file: the one platform call it cannot
// do without, and for the readings the reference DLL (kd_floor.dll) whose
// exports do only what every implementation must. Also the DLL's size and what
// it imports. "--profile" makes a fixed number
// of calls of one export for the call profile that tests/bench/call-profile
// takes from Wine's relay trace; "--results FILE" also writes each ratio row
// to FILE as tab-separated text, for a table of both builds side by side.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "import_counter.h"
#include "monitor_link/window_handle.h"
#include "side_by_side.h"
#include "support/fake_monitor.h"
#include "support/file_text.h"
#include "support/pe_reader.h"
#include "support/plugin_copy.h"
#include "support/processes.h"

namespace {

// The plug-in's own work may cost this much over the unavoidable: the
// reference DLL for the readings, the bare profile call for the descriptor.
constexpr double kTarget = 1.02;
// Batches of a tenth of a millisecond to a few milliseconds, by the floor's
// cost: many short rounds, so that few batches meet a context switch and the
// medians hold still on a busy machine.
struct Batches {
    int calls, rounds;
};
constexpr Batches kLocalWindow = {1000, 3001}; // IsWindow on a window of this process
constexpr Batches kRemoteWindow = {200, 101};  // IsWindow asks the window server
constexpr Batches kProfileFile = {5, 401};     // GetPrivateProfileStringA reads the file

FILE *g_results = nullptr; // --results FILE, or none
// --emulated: this process runs under a CPU emulator (32-bit Wine under qemu),
// whose translation makes a ratio of two timings say nothing of the build.
bool g_emulated = false;
const char *g_place = ""; // where the monitor's window is, for the results rows

volatile int g_intSink;
volatile float g_floatSink;

// The host's side: a copy of the DLL with the shipped sample settings beside it.
struct Host {
    PluginCopy copy{"bench"};
    std::string settingsPath = copy.folder() + "\\KelvoDyn.ini";
    std::unique_ptr<Plugin> plugin;

    bool Start() {
        copy.WriteSettings(FileText(BuildDir() + "\\examples\\KelvoDyn.ini"));
        plugin = copy.Load();
        return copy.ok() && plugin->loaded();
    }
};

// A row held to the target, or one shown for comparison only.
enum class Held { ToTarget, ForComparison };

void PrintRow(const std::string &what, const SideBySide &m, Held held) {
    const char *verdict = held == Held::ForComparison ? ""
                          : g_emulated                ? "emulated, no verdict"
                          : m.ratio <= kTarget        ? "within 1.02"
                                                      : "OVER 1.02";
    std::printf("  %-50s %10.1f %10.1f %7.3f %8.1f  %s\n", what.c_str(), m.subjectNs, m.floorNs,
                m.ratio, m.nsBeyond, verdict);
    if (g_results != nullptr) {
        std::fprintf(g_results, "%s%s\t%.1f\t%.1f\t%.3f\t%.1f\n", what.c_str(), g_place,
                     m.subjectNs, m.floorNs, m.ratio, m.nsBeyond);
    }
}

Batch DataCalls(const Plugin &dll, uint32_t index) {
    return [&dll, index](int n) {
        for (int i = 0; i < n; ++i) {
            g_floatSink = dll.SourceData(index);
        }
    };
}

Batch CountCalls(const Plugin &dll) {
    return [&dll](int n) {
        for (int i = 0; i < n; ++i) {
            g_intSink = dll.SourcesNum();
        }
    };
}

// GetSourceData and GetSourcesNum of the plug-in and of the reference DLL, and
// IsWindow on the monitor's window, all three interleaved. held: whether the
// rows against the reference are held to the target; not where IsWindow asks
// the window server, whose tens of microseconds vary by more than 2 % from one
// batch to the next while the plug-in's own work is the same nanosecond or two.
void MeasureReadings(const Plugin &plugin, const Plugin &floor, HWND window, Batches b, Held held) {
    enum { kIsWindow, kFloor, kPlugin };
    Batch isWindow = [window](int n) {
        for (int i = 0; i < n; ++i) {
            g_intSink = IsWindow(window);
        }
    };
    struct Case {
        const char *what;
        Batch floor, plugin;
        const char *floorRow; // the reference's own cost over IsWindow, once per kind
    };
    const Case cases[] = {
        {"GetSourceData(2), a fan", DataCalls(floor, 2), DataCalls(plugin, 2),
         "reference floor, a float vs IsWindow"},
        {"GetSourceData(0), a temperature", DataCalls(floor, 0), DataCalls(plugin, 0), nullptr},
        {"GetSourcesNum()", CountCalls(floor), CountCalls(plugin),
         "reference floor, an integer vs IsWindow"},
    };
    for (const Case &c : cases) {
        Interleaved m = MeasureInterleaved({isWindow, c.floor, c.plugin}, b.calls, b.rounds);
        PrintRow(std::string(c.what) + " vs reference floor", Compare(m, kPlugin, kFloor), held);
        PrintRow(std::string(c.what) + " vs IsWindow", Compare(m, kPlugin, kIsWindow),
                 Held::ForComparison);
        if (c.floorRow != nullptr) {
            PrintRow(c.floorRow, Compare(m, kFloor, kIsWindow), Held::ForComparison);
        }
    }
}

// The reference DLL, loaded as the plug-in is; it opens the block at attach,
// so it is loaded once the monitor publishes.
std::unique_ptr<Plugin> LoadFloor() {
    auto floor = std::make_unique<Plugin>(BuildDir() + "\\kd_floor.dll");
    if (!floor->loaded()) {
        std::fprintf(stderr, "kd_bench: cannot load kd_floor.dll beside kd_bench.exe\n");
        return nullptr;
    }
    return floor;
}

// GetSourceDesc against reading the same key from the same file directly.
void MeasureDescriptor(const Plugin &plugin, const std::string &settingsPath) {
    Batch profile = [&settingsPath](int n) {
        char name[32];
        for (int i = 0; i < n; ++i) {
            g_intSink = int(GetPrivateProfileStringA("kelvodyn", "Temperature1", "KD temperature 1",
                                                     name, sizeof name, settingsPath.c_str()));
        }
    };
    Batch desc = [&plugin](int n) {
        SourceDesc record;
        for (int i = 0; i < n; ++i) {
            g_intSink = plugin.SourceDesc(0, &record);
        }
    };
    Interleaved m = MeasureInterleaved({profile, desc}, kProfileFile.calls, kProfileFile.rounds);
    PrintRow("GetSourceDesc(0) vs GetPrivateProfileStringA", Compare(m, 1, 0), Held::ToTarget);
}

// The monitor as the real one is: another process, whose window this process
// can only ask the window server about.
bool MeasureAgainstMonitorProcess(const Host &host) {
    // Its output goes to a pipe of its own, not into the middle of the table.
    CapturedTool monitor("kdmonitor.exe", "--temps 45.5,52 --fans 900,1200,0");
    bool seen = WaitUntil([&] { return host.plugin->SourcesNum() == 5; }, 20000);
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, SHARED_BLOCK_NAME);
    auto block = static_cast<const SharedSensorBlock *>(
        mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr);
    std::unique_ptr<Plugin> floor = seen && block != nullptr ? LoadFloor() : nullptr;
    if (floor != nullptr) {
        std::printf("monitor in another process (kdmonitor.exe):\n");
        g_place = ", monitor in another process";
        MeasureReadings(*host.plugin, *floor, WindowFromBlockField(block->hwnd), kRemoteWindow,
                        Held::ForComparison);
        floor.reset();
    }
    if (block != nullptr) {
        UnmapViewOfFile(block);
    }
    if (mapping != nullptr) {
        CloseHandle(mapping);
    }
    monitor.Kill();
    return seen && block != nullptr;
}

void PrintImports(const PeImage &image) {
    // What "no heap" and "no file of its own" would be broken by.
    static const std::set<std::string> kForbidden = {
        "HeapAlloc",   "HeapReAlloc",   "HeapCreate",   "LocalAlloc",     "LocalReAlloc",
        "GlobalAlloc", "GlobalReAlloc", "VirtualAlloc", "VirtualAllocEx", "RtlAllocateHeap",
        "malloc",      "calloc",        "realloc",      "CoTaskMemAlloc", "CreateFileA",
        "CreateFileW", "ReadFile",      "WriteFile",    "OpenFile",       "_lopen",
        "_lread",      "fopen",         "memset",       "memcpy",         "CreateThread"};
    std::string found;
    std::printf("imports of KelvoDyn.dll:");
    for (const PeImport &dll : image.imports) {
        std::printf("\n  %s:", dll.dll.c_str());
        for (const std::string &function : dll.functions) {
            std::printf(" %s", function.c_str());
            if (kForbidden.count(function)) {
                found += " " + function;
            }
        }
    }
    std::printf("\nheap, memory, file and thread functions among them: %s\n",
                found.empty() ? "none" : found.c_str());
}

// Platform calls per export call, counted through the import table; a first
// call, which may open the block, is left out.
void PrintCallProfile(const Plugin &plugin, const PeImage &image, const char *state) {
    constexpr int kCalls = 100;
    SourceDesc record;
    const std::pair<const char *, std::function<void()>> exports[] = {
        {"GetSourceData(2)", [&] { g_floatSink = plugin.SourceData(2); }},
        {"GetSourcesNum()", [&] { g_intSink = plugin.SourcesNum(); }},
        {"GetSourceDesc(0)", [&] { g_intSink = plugin.SourceDesc(0, &record); }},
    };
    ImportCounter counter(plugin.module(), image);
    for (const auto &[what, call] : exports) {
        call();
        counter.Reset();
        for (int i = 0; i < kCalls; ++i) {
            call();
        }
        std::printf("  %-17s %-11s", what, state);
        std::map<std::string, long> counts = counter.Counts();
        for (const auto &[function, calls] : counts) {
            std::printf("  %s x%g", function.c_str(), double(calls) / kCalls);
        }
        std::printf("%s\n", counts.empty() ? "  none" : "");
    }
}

std::string WineVersion() {
    using Version = const char *(__cdecl *)();
    auto version = reinterpret_cast<Version>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    return version ? std::string("Wine ") + version() : "Windows";
}

int Benchmark() {
    const std::vector<uint8_t> file = FileBytes(BuiltPluginPath());
    const PeImage image = ReadPeImage(file);
    if (!image.error.empty()) {
        std::fprintf(stderr, "kd_bench: %s: %s\n", BuiltPluginPath().c_str(), image.error.c_str());
        return 1;
    }
    std::printf("KelvoDyn.dll, %s build: %u bytes\n", sizeof(void *) == 8 ? "x64" : "x86",
                unsigned(file.size()));
    Host host;
    if (!host.Start()) {
        std::fprintf(stderr, "kd_bench: cannot load a copy of the plug-in\n");
        return 1;
    }
    PrintImports(image);

    std::printf("platform calls per export call, counted through the import table:\n");
    PrintCallProfile(*host.plugin, image, "no monitor");
    auto monitor = std::make_unique<FakeMonitor>();
    if (!monitor->ok()) {
        std::fprintf(stderr, "kd_bench: cannot publish the block (is a monitor running?)\n");
        return 1;
    }
    monitor->Publish({4550, 5200}, {900, 1200, 0});
    PrintCallProfile(*host.plugin, image, "block held");
    if (host.plugin->SourcesNum() != 5) {
        std::fprintf(stderr, "kd_bench: the plug-in does not see the block\n");
        return 1;
    }

    std::unique_ptr<Plugin> floor = LoadFloor();
    if (floor == nullptr) {
        return 1;
    }
    std::printf("ns per call, median of interleaved rounds (%s); ratio = export / floor and\n"
                "beyond = export - floor, the medians of each round's ratio and difference\n",
                WineVersion().c_str());
    if (g_emulated) {
        std::printf("EMULATED: this build runs under a CPU emulator here; its timings measure\n"
                    "the emulator's translation, not the build, and get no verdict\n");
    }
    std::printf("  %-50s %10s %10s %7s %8s  %s\n", "export vs floor", "export", "floor", "ratio",
                "beyond", "target");
    std::printf("monitor window in this process:\n");
    MeasureReadings(*host.plugin, *floor, monitor->window(), kLocalWindow, Held::ToTarget);
    MeasureDescriptor(*host.plugin, host.settingsPath);
    floor.reset(); // its view of this block, before the block goes
    monitor.reset();
    if (!MeasureAgainstMonitorProcess(host)) {
        std::printf("monitor in another process: kdmonitor.exe was not seen, skipped\n");
    }
    return 0;
}

// A fixed number of calls of one export on a held block (or with no monitor),
// after one call that opens the block; prints where the module lies so the
// trace's calls from it can be picked out.
int Profile(const std::string &exportName, int calls, bool withMonitor) {
    Host host;
    std::unique_ptr<FakeMonitor> monitor;
    if (withMonitor) {
        monitor = std::make_unique<FakeMonitor>();
        monitor->Publish({4550, 5200}, {900, 1200, 0});
    }
    if (!host.Start() || host.plugin->SourcesNum() != (withMonitor ? 5 : 0)) {
        std::fprintf(stderr, "kd_bench: cannot set up the profile\n");
        return 1;
    }
    auto base = reinterpret_cast<const BYTE *>(host.plugin->module());
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER *>(base)->e_lfanew);
    std::printf("module %llx %lx\n", static_cast<unsigned long long>(UINT_PTR(base)),
                static_cast<unsigned long>(nt->OptionalHeader.SizeOfImage));
    std::fflush(stdout);
    SourceDesc record;
    for (int i = 0; i < calls; ++i) {
        if (exportName == "GetSourceData") {
            g_floatSink = host.plugin->SourceData(2);
        } else if (exportName == "GetSourcesNum") {
            g_intSink = host.plugin->SourcesNum();
        } else if (exportName == "GetSourceDesc") {
            g_intSink = host.plugin->SourceDesc(0, &record);
        } else {
            std::fprintf(stderr, "kd_bench: no export %s\n", exportName.c_str());
            return 2;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--profile") == 0) {
        bool withMonitor = !(argc >= 5 && std::strcmp(argv[4], "--no-monitor") == 0);
        return Profile(argv[2], std::atoi(argv[3]), withMonitor);
    }
    if (argc >= 2 && std::strcmp(argv[1], "--emulated") == 0) {
        g_emulated = true;
        --argc;
        ++argv;
    }
    if (argc == 3 && std::strcmp(argv[1], "--results") == 0) {
        g_results = std::fopen(argv[2], "w");
        if (g_results == nullptr) {
            std::fprintf(stderr, "kd_bench: cannot write %s\n", argv[2]);
            return 2;
        }
    } else if (argc > 1) {
        std::fprintf(stderr, "usage: kd_bench [--emulated] [--results FILE | --profile EXPORT "
                             "CALLS [--no-monitor]]\n");
        return 2;
    }
    int code = Benchmark();
    if (g_results != nullptr) {
        std::fclose(g_results);
    }
    return code;
}
