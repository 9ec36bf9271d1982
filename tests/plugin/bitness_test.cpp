// The two builds side by side in one Wine prefix, which runs both: a block
// published by a monitor of one bitness read by a host of the other, and a
// plug-in of the wrong bitness (or no DLL at all) named as such by kdhost.
// Built in the 64-bit tree only, with the 32-bit build's programs beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "exit_codes.h"
#include "support/host_output.h"
#include "support/plugin_copy.h"
#include "support/processes.h"

namespace {

// A folder of the 32-bit build, as Wine reaches it through the Z: drive.
std::string X86Bin() {
    std::string path = "Z:" KD_X86_BIN_DIR;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path + "\\";
}

struct Build {
    const char *arch;
    std::string bin; // with a trailing backslash
};

Build X86() {
    return {"x86", X86Bin()};
}
Build X64() {
    return {"x64", BuildDir() + "\\"};
}

std::vector<uint8_t> FileBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(Bitness, BothBuildsArePresent) {
    for (const Build &build : {X86(), X64()}) {
        for (const char *file : {"KelvoDyn.dll", "kdhost.exe", "kdmonitor.exe"}) {
            EXPECT_NE(GetFileAttributesA((build.bin + file).c_str()), INVALID_FILE_ATTRIBUTES)
                << build.arch << " " << file << " (build the x86 preset first)";
        }
    }
}

// kdmonitor of one bitness publishes, kdhost of the other reads through its
// own plug-in: the same five values either way.
TEST(Bitness, BlockCrossesBitness) {
    const struct {
        Build monitor, host;
        const char *hostBits;
    } cases[] = {
        {X86(), X64(), "64"}, {X64(), X86(), "32"}, {X86(), X86(), "32"}, {X64(), X64(), "64"}};
    for (const auto &c : cases) {
        std::string what = std::string(c.monitor.arch) + " kdmonitor, " + c.host.arch + " kdhost";
        SCOPED_TRACE(what);
        std::unique_ptr<CapturedTool> monitor;
        ASSERT_TRUE(StartMonitor("--temps 45.5,52 --fans 900,1200,0", monitor,
                                 c.monitor.bin + "kdmonitor.exe"));
        std::string json;
        EXPECT_EQ(RunTool(c.host.bin + "kdhost.exe", "--json", &json), 0) << json;
        EXPECT_NE(json.find("\"hostBits\": " + std::string(c.hostBits)), std::string::npos) << json;
        EXPECT_NE(json.find("\"count\": 5,"), std::string::npos) << json;
        const char *values[] = {"45.5", "52", "900", "1200", "0"};
        for (const char *value : values) {
            EXPECT_NE(json.find("\"value\": " + std::string(value) + ","), std::string::npos)
                << value << " in " << json;
        }
        std::string stopped;
        EXPECT_EQ(RunTool(c.monitor.bin + "kdmonitor.exe", "--stop", &stopped), 0) << stopped;
        EXPECT_EQ(monitor->Wait(20000), 0) << "the monitor stops cleanly";
    }
}

// A DLL for another processor than the host's, refused with a sentence that
// says which build the host needs.
TEST(Bitness, MismatchNamedInWords) {
    PluginCopy scratch("bitness");
    ASSERT_TRUE(scratch.ok());
    std::vector<uint8_t> arm = FileBytes(X64().bin + "KelvoDyn.dll");
    ASSERT_GT(arm.size(), 0x100u);
    uint32_t pe = arm[0x3C] | arm[0x3D] << 8;
    arm[pe + 4] = 0x64; // IMAGE_FILE_MACHINE_ARM64, 0xAA64
    arm[pe + 5] = 0xAA;
    scratch.WriteFile("arm64.dll", std::string(arm.begin(), arm.end()));
    const std::string folder = scratch.folder() + "\\";
    const struct {
        const char *what;
        Build host;
        std::string plugin;
        std::string sentence;
    } cases[] = {
        {"32-bit host, 64-bit DLL", X86(), X64().bin + "KelvoDyn.dll",
         "KelvoDyn.dll is a 64-bit DLL and this kdhost is 32-bit: a 32-bit host needs the x86 "
         "build (x86\\KelvoDyn.dll), or use x64\\kdhost.exe"},
        {"64-bit host, 32-bit DLL", X64(), X86().bin + "KelvoDyn.dll",
         "KelvoDyn.dll is a 32-bit DLL and this kdhost is 64-bit: a 64-bit host needs the x64 "
         "build (x64\\KelvoDyn.dll), or use x86\\kdhost.exe"},
        {"a DLL for ARM64", X64(), folder + "arm64.dll",
         "arm64.dll is a DLL for ARM64 machines and this kdhost is 64-bit: it loads only DLLs "
         "of the x64 build"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::string output, errors;
        EXPECT_EQ(
            RunTool(c.host.bin + "kdhost.exe", "--plugin \"" + c.plugin + "\"", &output, &errors),
            kExitNoPlugin);
        EXPECT_NE(Unwrapped(errors).find(c.sentence), std::string::npos) << errors;
        EXPECT_EQ(output, "");
    }
}

TEST(Bitness, HelpNamesTheHostsOwn) {
    for (const Build &build : {X86(), X64()}) {
        std::string help;
        EXPECT_EQ(RunTool(build.bin + "kdhost.exe", "--help", &help), 0);
        std::string bits = build.arch == std::string("x86") ? "32-bit" : "64-bit";
        EXPECT_EQ(help.rfind("kdhost (" + bits + ")", 0), 0u) << build.arch << ": " << help;
        EXPECT_NE(help.find("loads the " + std::string(build.arch) + " build"), std::string::npos)
            << help;
    }
}

} // namespace
