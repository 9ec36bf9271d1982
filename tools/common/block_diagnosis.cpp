// The plug-in's validation (version, size, counts) and liveness test (flag,
// window), each turned into a sentence that says what is wrong and what follows.
#include "block_diagnosis.h"

#include <cstdio>

#include "error_words.h"
#include "monitor_link/block_rules.h"
#include "monitor_link/monitor_liveness.h"
#include "number_text.h"
#include "wine_host.h"

namespace {

const char kIgnored[] = ", so the plug-in ignores the block and shows nothing.";

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", unsigned(value));
    return text;
}

// The sentence for a count the header's rules reject.
std::string CountTooHigh(BlockRule rule, const SharedSensorBlock &b) {
    const uint16_t count = rule == BLOCK_TOO_MANY_TEMPS  ? b.numTemps
                           : rule == BLOCK_TOO_MANY_FANS ? b.numFans
                                                         : b.numExtra;
    const std::string counted =
        rule == BLOCK_TOO_MANY_TEMPS  ? Counted(count, "temperature", "temperatures")
        : rule == BLOCK_TOO_MANY_FANS ? Counted(count, "fan", "fans")
                                      : Counted(count, "extra reading", "extra readings");
    return "The block lists " + counted + ", more than its " + std::to_string(SENSOR_SLOTS) +
           " slots" + kIgnored;
}

// Where the monitor could be instead: named objects are per session on
// Windows, and under Wine per prefix as well.
std::string ElsewhereWords() {
    if (!RunsUnderWine()) {
        return "no monitor is running (or it runs in another session)";
    }
    const std::string prefix = WinePrefix();
    return "no monitor is running in this Wine prefix (" +
           (prefix.empty() ? std::string("~/.wine, as WINEPREFIX is not set") : prefix) +
           "); under Wine the monitor must run in the same prefix as the host, with the same "
           "WINEPREFIX";
}

} // namespace

Diagnosis DiagnoseBlock(const BlockCopy &copy) {
    const SharedSensorBlock &b = copy.block;
    const std::string name = "\"" SHARED_BLOCK_NAME "\"";
    const std::string need = std::to_string(SHARED_BLOCK_MIN_SIZE);
    if (copy.access == BlockAccess::NoSuchBlock) {
        return {Finding::NoBlock, "There is no shared block named " + name + ": " +
                                      ElsewhereWords() + ", so the plug-in has nothing to show."};
    }
    if (copy.access == BlockAccess::CannotOpen) {
        return {Finding::CannotOpen,
                "The shared block " + name + " exists but cannot be opened for reading (" +
                    ErrorWords(copy.error) + "), so the plug-in cannot read it either."};
    }
    if (copy.viewBytes < SHARED_BLOCK_MIN_SIZE) {
        return {Finding::TooShort, "The shared block is only " + std::to_string(copy.viewBytes) +
                                       " bytes long, less than the " + need + " the plug-in reads" +
                                       kIgnored};
    }
    const BlockRule rule = ClassifyBlockHeader(&b);
    switch (rule) {
    case BLOCK_ACCEPTED:
        break;
    case BLOCK_WRONG_VERSION:
        return {Finding::WrongVersion,
                "The block has layout version " + std::to_string(b.version) +
                    ", but the plug-in reads only version " + std::to_string(SHARED_BLOCK_VERSION) +
                    " (the monitor and the plug-in do not match)" + kIgnored};
    case BLOCK_TOO_SMALL:
        return {Finding::TooShort, "The block declares a size of " + std::to_string(b.size) +
                                       " bytes, less than the " + need + " the plug-in needs" +
                                       kIgnored};
    case BLOCK_TOO_MANY_TEMPS:
    case BLOCK_TOO_MANY_FANS:
    case BLOCK_TOO_MANY_EXTRA:
        return {Finding::TooManyReadings, CountTooHigh(rule, b)};
    }
    // The plug-in's liveness rule, one part at a time (the window's part was
    // asked when the copy was taken). A monitor that stops clears the bit and
    // destroys its window; the block lives on while a plug-in still holds it.
    const bool publishing = FlagSaysPublishing(b.flags);
    if (!publishing && b.hwnd != 0 && !copy.windowExists) {
        return {Finding::Stopped,
                "The monitor has stopped: bit 0 of the block's flags is clear and its window " +
                    Hex(b.hwnd) +
                    " no longer exists, so the plug-in shows nothing until a monitor publishes "
                    "again."};
    }
    if (!publishing) {
        return {Finding::NotPublishing,
                "Bit 0 of the block's flags is clear: the monitor says it is not publishing "
                "(stopped, paused or still starting), so the plug-in shows nothing until it "
                "sets the bit again."};
    }
    if (!copy.windowExists) {
        return {Finding::WindowGone,
                b.hwnd == 0 ? "The block names no monitor window (hwnd is 0), so the plug-in "
                              "takes the monitor for gone and shows nothing."
                            : "The monitor's window " + Hex(b.hwnd) +
                                  " no longer exists: the monitor has exited or crashed without "
                                  "clearing its flag, so the plug-in shows nothing."};
    }
    if (b.numTemps + b.numFans == 0) {
        return {Finding::NothingPublished, "The monitor is live but publishes no temperatures and "
                                           "no fans, so the plug-in offers no sources."};
    }
    return {Finding::Live, "The monitor is live: the plug-in offers " +
                               Counted(b.numTemps, "temperature", "temperatures") + " and " +
                               Counted(b.numFans, "fan", "fans") + "."};
}

const char *FindingName(Finding finding) {
    // In the order of the findings.
    static const char *const kNames[kFindingCount] = {
        "no-block", "cannot-open",    "too-short",   "wrong-version",     "too-many-readings",
        "stopped",  "not-publishing", "window-gone", "nothing-published", "live"};
    const int at = int(finding);
    return at >= 0 && at < kFindingCount ? kNames[at] : "unknown";
}
