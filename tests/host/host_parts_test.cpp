// kdhost's plain functions on their own: the sparkline's scale, numbers that
// read back as the same float, the watch's rows across monitor stops and its
// fit to the screen, and diagnoses a live monitor cannot produce.
#include <gtest/gtest.h>

#include <cstring>

#include "block_diagnosis.h"
#include "console_frame.h"
#include "source_table.h"
#include "number_text.h"
#include "plugin_loader.h"
#include "source_snapshot.h"
#include "source_interface/kelvodyn.h"
#include "sparkline.h"
#include "terminal_text.h"
#include "text_output.h"
#include "watch_layout.h"
#include "live_view_state.h"
#include "wide_path.h"

namespace {

const std::string kLow = "\u2581", kHigh = "\u2588";

struct SparkCase {
    const char *what;
    std::deque<float> values;
    float scaleMin, scaleMax;
    size_t width;
    std::string expected;
    const char *units = ""; // the group follows: a degree sign, RPM, or neither
};

SourceReading ScaleSource(const SparkCase &c) {
    SourceReading source;
    source.scaleMin = c.scaleMin;
    source.scaleMax = c.scaleMax;
    source.scaleDivisions = 6;
    source.units = c.units;
    source.group = source.units.rfind("\xC2\xB0", 0) == 0 ? SourceGroup::Temperature
                   : source.units == "RPM"                ? SourceGroup::Fan
                                                          : SourceGroup::Other;
    return source;
}

TEST(Sparkline, DrawsOnTheSourcesOwnScale) {
    const SparkCase cases[] = {
        {"scale minimum is the lowest bar", {0}, 0, 150, 1, kLow},
        {"scale maximum is the highest bar", {150}, 0, 150, 1, kHigh},
        {"just below an eighth", {18.7f}, 0, 150, 1, "\u2581"},
        {"an eighth up", {18.75f}, 0, 150, 1, "\u2582"},
        {"halfway", {3500}, 0, 7000, 1, "\u2585"},
        {"past a fan's bound sits at the top", {16000}, 0, 7000, 1, kHigh, "RPM"},
        {"past the scale: drawn on the scale extended to hold it",
         {150, 212.5f},
         0,
         150,
         2,
         "\u2586" + kHigh,
         "\xC2\xB0"
         "F"},
        {"below the minimum: the scale extended down",
         {-40, 75},
         0,
         150,
         2,
         kLow + "\u2586",
         "\xC2\xB0"
         "C"},
        {"a scale not starting at 0", {60}, 50, 70, 1, "\u2585"},
        {"no reading leaves a gap", {0, NO_READING, 150}, 0, 150, 3, kLow + " " + kHigh},
        {"short history is right-aligned", {150}, 0, 150, 3, "  " + kHigh},
        {"long history keeps the newest", {0, 0, 150, 150}, 0, 150, 2, kHigh + kHigh},
        {"no usable scale: the values' own range", {10, 20}, 5, 5, 2, kLow + kHigh},
        {"no usable scale, equal values", {7, 7}, 0, 0, 2, kLow + kLow},
    };
    for (const SparkCase &c : cases) {
        EXPECT_EQ(Sparkline(c.values, ScaleSource(c), c.width), c.expected) << c.what;
    }
}

TEST(NumberText, ShortestDecimalReadsBackAsTheSameFloat) {
    const struct {
        float value;
        const char *text;
    } cases[] = {
        {45.5f, "45.5"},     {150.0f, "150"},      {7000.0f, "7000"},     {0.0f, "0"},
        {0.01f, "0.01"},     {-2.51f, "-2.51"},    {455 * 0.01f, "4.55"}, {1e20f, "1e+20"},
        {15000.0f, "15000"}, {0.1f + 0.2f, "0.3"},
    };
    for (const auto &c : cases) {
        std::string text = ShortestFloat(c.value);
        EXPECT_EQ(std::strtof(text.c_str(), nullptr), c.value) << text;
        if (std::strtof(c.text, nullptr) == c.value) {
            EXPECT_EQ(text, c.text); // the short form exists, so it is the one chosen
        } else {
            EXPECT_GT(text.size(), std::strlen(c.text)) << text;
        }
    }
}

TEST(NumberText, ReadingsCarryTheMonitorsResolution) {
    const struct {
        const char *what;
        SourceGroup group;
        float value;
        const char *text;
    } cases[] = {
        {"hundredths, not the float's tail", SourceGroup::Temperature, 3888 * 0.01f, "38.88"},
        {"one decimal when the second is 0", SourceGroup::Temperature, 4550 * 0.01f, "45.5"},
        {"whole degrees", SourceGroup::Temperature, 5200 * 0.01f, "52"},
        {"just below 4.55", SourceGroup::Temperature, 455 * 0.01f, "4.55"},
        {"negative", SourceGroup::Temperature, -251 * 0.01f, "-2.51"},
        {"a hundredth below zero", SourceGroup::Temperature, -1 * 0.01f, "-0.01"},
        {"zero", SourceGroup::Temperature, 0.0f, "0"},
        {"the Fahrenheit bound", SourceGroup::Temperature, 57200 * 0.01f, "572"},
        {"whole RPM", SourceGroup::Fan, 900.0f, "900"},
        {"a stopped fan", SourceGroup::Fan, 0.0f, "0"},
        {"negative RPM", SourceGroup::Fan, -1.0f, "-1"},
        {"another plug-in's fraction", SourceGroup::Fan, 1.5f, "2"},
        {"neither group: every digit", SourceGroup::Other, 0.1f + 0.2f, "0.3"},
    };
    for (const auto &c : cases) {
        SourceReading reading;
        reading.group = c.group;
        reading.value = c.value;
        EXPECT_EQ(ReadingNumber(reading), c.text) << c.what;
    }
}

SourceReading Source(uint32_t index, SourceGroup group, const char *name, float value) {
    SourceReading reading;
    reading.index = index;
    reading.group = group;
    reading.name = name;
    reading.described = true;
    reading.scaleMax = group == SourceGroup::Fan ? 7000 : 150;
    reading.value = value;
    return reading;
}

Snapshot Sources(std::vector<SourceReading> sources) {
    Snapshot snapshot;
    snapshot.reported = int32_t(sources.size());
    snapshot.sources = std::move(sources);
    return snapshot;
}

TEST(LiveViewState, KeepsRowsThroughAStopAndFollowsNewCounts) {
    LiveViewState state;
    state.historyLength = 4;
    AdvanceLiveView(state, Sources({Source(0, SourceGroup::Temperature, "T1", 150),
                                    Source(1, SourceGroup::Fan, "F1", 7000)}));
    ASSERT_EQ(state.rows.size(), 2u);
    EXPECT_TRUE(state.sourcesNow);

    AdvanceLiveView(state, Sources({})); // the monitor stopped
    ASSERT_EQ(state.rows.size(), 2u) << "the last rows stay";
    EXPECT_FALSE(state.sourcesNow);
    for (const SourceReading &row : state.rows) {
        EXPECT_FALSE(HasReading(row.value)) << row.name;
    }

    // Back with two temperatures before the fan: the fan moves to index 2 but
    // keeps its history, the new temperature starts one.
    AdvanceLiveView(state, Sources({Source(0, SourceGroup::Temperature, "T1", 0),
                                    Source(1, SourceGroup::Temperature, "T2", 0),
                                    Source(2, SourceGroup::Fan, "F1", 0)}));
    ASSERT_EQ(state.rows.size(), 3u);
    std::vector<std::string> lines = RowSparklines(state, 4);
    EXPECT_EQ(lines[0], " " + kHigh + " " + kLow) << "T1";
    EXPECT_EQ(lines[1], "   " + kLow) << "T2";
    EXPECT_EQ(lines[2], " " + kHigh + " " + kLow) << "F1";

    // Fewer sources: the rows shrink; a source gone long enough is forgotten.
    for (int i = 0; i < 5; ++i) {
        AdvanceLiveView(state, Sources({Source(0, SourceGroup::Temperature, "T1", 0)}));
    }
    EXPECT_EQ(state.rows.size(), 1u);
    EXPECT_EQ(state.history.size(), 1u);
}

BlockCopy LiveCopy() {
    BlockCopy copy;
    copy.access = BlockAccess::Copied;
    copy.viewBytes = 4096;
    copy.block.version = 1;
    copy.block.size = 402;
    copy.block.flags = FLAG_PUBLISHING;
    copy.block.hwnd = 0x10064;
    copy.block.numTemps = 1;
    copy.windowExists = true;
    return copy;
}

TEST(BlockDiagnosis, FindingsNoMonitorProcessShows) {
    struct Case {
        const char *what;
        void (*change)(BlockCopy &);
        Finding finding;
        const char *sentenceStart;
    } cases[] = {
        {"a view shorter than the layout", [](BlockCopy &c) { c.viewBytes = 16; },
         Finding::TooShort, "The shared block is only 16 bytes long"},
        {"no window handle at all",
         [](BlockCopy &c) {
             c.block.hwnd = 0;
             c.windowExists = false;
         },
         Finding::WindowGone, "The block names no monitor window (hwnd is 0)"},
        {"size checked before counts",
         [](BlockCopy &c) {
             c.block.size = 0;
             c.block.numFans = 0xFFFF;
         },
         Finding::TooShort, "The block declares a size of 0 bytes"},
        {"counts checked before the flag",
         [](BlockCopy &c) {
             c.block.numExtra = 33;
             c.block.flags = 0;
         },
         Finding::TooManyReadings, "The block lists 33 extra readings"},
        {"the flag checked before the window: bit 0 clear, window gone",
         [](BlockCopy &c) {
             c.block.flags = 0xFE; // every bit but bit 0
             c.windowExists = false;
         },
         Finding::Stopped,
         "The monitor has stopped: bit 0 of the block's flags is clear and "
         "its window 0x00010064 no longer exists"},
        {"bit 0 clear, the window lives", [](BlockCopy &c) { c.block.flags = 0; },
         Finding::NotPublishing,
         "Bit 0 of the block's flags is clear: the monitor says it is not publishing (stopped, "
         "paused or still starting)"},
        {"bit 0 clear, no window named yet",
         [](BlockCopy &c) {
             c.block.flags = 0;
             c.block.hwnd = 0;
             c.windowExists = false;
         },
         Finding::NotPublishing, "Bit 0 of the block's flags is clear"},
        {"the access error in words",
         [](BlockCopy &c) {
             c.access = BlockAccess::CannotOpen;
             c.error = ERROR_ACCESS_DENIED;
         },
         Finding::CannotOpen,
         "The shared block \"KDSharedMemory_RUD\" exists but cannot be opened for reading "
         "(access is denied)"},
        {"one of each", [](BlockCopy &c) { c.block.numFans = 1; }, Finding::Live,
         "The monitor is live: the plug-in offers 1 temperature and 1 fan."},
    };
    for (const Case &c : cases) {
        BlockCopy copy = LiveCopy();
        c.change(copy);
        Diagnosis diagnosis = DiagnoseBlock(copy);
        EXPECT_EQ(diagnosis.finding, c.finding) << c.what << ": " << diagnosis.sentence;
        EXPECT_EQ(diagnosis.sentence.rfind(c.sentenceStart, 0), 0u)
            << c.what << ": " << diagnosis.sentence;
    }
}

// The demo's five sources with full histories, names of the given length.
LiveViewState DemoWatch(size_t nameLength) {
    const struct {
        SourceGroup group;
        float value;
    } demo[] = {{SourceGroup::Temperature, 39.45f},
                {SourceGroup::Temperature, 47.84f},
                {SourceGroup::Fan, 730},
                {SourceGroup::Fan, 1035},
                {SourceGroup::Fan, 0}};
    std::vector<SourceReading> sources;
    for (const auto &d : demo) {
        std::string name = "source " + std::to_string(sources.size() + 1);
        name += std::string(nameLength - name.size(), 'x');
        SourceReading reading = Source(uint32_t(sources.size()), d.group, name.c_str(), d.value);
        reading.units = d.group == SourceGroup::Fan ? "RPM" : "\u00B0C";
        reading.scaleDivisions = d.group == SourceGroup::Fan ? 7 : 6;
        sources.push_back(reading);
    }
    LiveViewState state;
    state.historyLength = kWidestSparkline;
    for (size_t i = 0; i < kWidestSparkline; ++i) {
        AdvanceLiveView(state, Sources(sources));
    }
    return state;
}

// Bar characters in a line: the sparkline's width when its history is full.
size_t Bars(const std::string &line) {
    size_t bars = 0;
    for (size_t at = 0; (at = line.find("\xE2\x96", at)) != std::string::npos; at += 3) {
        bars += static_cast<unsigned char>(line[at + 2]) >= 0x81 &&
                static_cast<unsigned char>(line[at + 2]) <= 0x88;
    }
    return bars;
}

TEST(WatchLayout, EveryLineFitsTheScreenAndNoRowIsCut) {
    const struct {
        const char *what;
        size_t nameLength;
        size_t width; // characters a line may hold: one short of the columns
        size_t statusLines;
        size_t sparkline; // 0: no "recent" column
        bool scale, group;
    } cases[] = {
        {"a pipe: no limit", 16, 0, 1, 24, true, true},
        {"120 columns: everything at full width", 16, 119, 1, 24, true, true},
        {"80 columns: narrower sparklines", 16, 79, 1, 16, true, true},
        {"60 columns: no scale columns", 16, 59, 2, 12, false, true},
        {"40 columns: no sparklines", 16, 39, 3, 0, false, false},
        {"80 columns, 31-character names: no scale columns", 31, 79, 1, 17, false, true},
        {"60 columns, 31-character names: no group column", 31, 59, 2, 10, false, false},
    };
    WatchFrameText text;
    text.status = {"KelvoDyn.dll", "2026-12-08T18:21:43.782", "5 sources", "every 1000 ms",
                   "(Ctrl+C stops)"};
    text.note = "No sources now. The monitor has stopped: bit 0 of the block's flags is clear "
                "and its window 0x00010064 no longer exists, so the plug-in shows nothing.";
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        LiveViewState state = DemoWatch(c.nameLength);
        std::vector<std::string> lines = WatchFrameLines(text, state, c.width);
        ASSERT_GT(lines.size(), c.statusLines + 1 + state.rows.size());
        const size_t table = lines.size() - 1 - state.rows.size();
        std::string status, note;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_TRUE(c.width == 0 || DisplayWidth(lines[i]) <= c.width) << lines[i];
            EXPECT_LE(DisplayWidth(lines[i]), i >= c.statusLines && i < table ? 78u : 999u);
            if (i < table) {
                (i < c.statusLines ? status : note) += lines[i] + (i < c.statusLines ? "  "
                                                                   : i + 1 < table   ? " "
                                                                                     : "");
            }
        }
        EXPECT_EQ(status, "KelvoDyn.dll  2026-12-08T18:21:43.782  5 sources  every 1000 ms  "
                          "(Ctrl+C stops)  ");
        EXPECT_EQ(note, text.note) << "the reason, wrapped at spaces";
        const std::string &header = lines[table];
        EXPECT_EQ(header.find("recent") != std::string::npos, c.sparkline > 0) << header;
        EXPECT_EQ(header.find("max") != std::string::npos, c.scale) << header;
        EXPECT_EQ(header.find("group") != std::string::npos, c.group) << header;
        for (size_t i = 0; i < state.rows.size(); ++i) {
            const std::string &row = lines[table + 1 + i];
            const SourceReading &source = state.rows[i];
            EXPECT_NE(row.find("  " + source.name + "  "), std::string::npos) << row;
            EXPECT_NE(row.find(" " + ValueText(source) + "  " + source.units), std::string::npos)
                << row;
            EXPECT_EQ(Bars(row), c.sparkline) << row;
            EXPECT_EQ(row.find(source.group == SourceGroup::Fan ? "7000" : "150") !=
                          std::string::npos,
                      c.scale)
                << row;
        }
    }
}

TEST(WatchLayout, AScaleExtendedToHoldReadingsIsMarkedInTheTable) {
    SourceReading hot = Source(0, SourceGroup::Temperature, "hot", 212.5f);
    hot.units = "\xC2\xB0"
                "F";
    hot.scaleDivisions = 6;
    SourceReading mild = Source(1, SourceGroup::Temperature, "mild", 40);
    mild.units = "\xC2\xB0"
                 "C";
    mild.scaleDivisions = 6;
    LiveViewState state;
    state.historyLength = kWidestSparkline;
    AdvanceLiveView(state, Sources({hot, mild}));
    const struct {
        const char *what;
        size_t width;
        bool marked; // the scale columns are shown, with the mark and its note
    } cases[] = {
        {"a pipe", 0, true},
        {"120 columns", 119, true},
        {"40 columns: no scale columns, no note", 39, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> lines = WatchFrameLines({{"status"}, ""}, state, c.width);
        ASSERT_GE(lines.size(), 4u);
        // The last three columns of each row: min, max and div where they are shown.
        auto lastThree = [](const std::string &row) {
            std::vector<std::string> words;
            for (size_t at = 0; (at = row.find_first_not_of(' ', at)) != std::string::npos;) {
                size_t end = row.find(' ', at);
                words.push_back(row.substr(at, end - at));
                at = end;
            }
            return std::vector<std::string>(words.end() - 3, words.end());
        };
        using Words = std::vector<std::string>;
        EXPECT_EQ(lastThree(lines[2]) == (Words{"0", "225*", "9*"}), c.marked) << lines[2];
        EXPECT_EQ(lastThree(lines[3]) == (Words{"0", "150", "6"}), c.marked) << lines[3];
        EXPECT_EQ(lines[3].find(kExtendedMark), std::string::npos) << lines[3];
        std::string note;
        for (size_t i = 4; i < lines.size(); ++i) {
            EXPECT_TRUE(c.width == 0 || DisplayWidth(lines[i]) <= c.width) << lines[i];
            note += lines[i] + " ";
        }
        EXPECT_EQ(note.rfind("* extended to hold the recent readings", 0) == 0, c.marked) << note;
    }
}

// A console's screen, as far as a watch's redraws go: rows of text, a cursor,
// and a window whose width can change, rewrapping what is on it (a console
// that reflows its buffer keeps every character, trailing spaces too).
struct FakeConsole {
    size_t columns;
    std::vector<std::string> rows{""};
    size_t cursor = 0;

    // Text from column 0 of the cursor's row on: each line overwrites its row.
    void Write(const std::string &text) {
        bool lineStart = true;
        for (char ch : text) {
            if (ch == '\n') {
                rows.resize(std::max(rows.size(), ++cursor + 1));
                lineStart = true;
                continue;
            }
            if (lineStart) {
                rows[cursor].clear();
                lineStart = false;
            }
            rows[cursor] += ch;
        }
    }
    void Resize(size_t newColumns) {
        if (newColumns == columns) {
            return;
        }
        std::vector<std::string> wrapped;
        size_t cursorRow = 0;
        for (size_t i = 0; i < rows.size(); ++i) {
            cursorRow = i == cursor ? wrapped.size() : cursorRow;
            wrapped.emplace_back();
            size_t shown = 0;
            for (char ch : rows[i]) {
                bool starts = (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
                if (starts && shown++ == newColumns) {
                    wrapped.emplace_back();
                    shown = 1;
                }
                wrapped.back() += ch;
            }
        }
        rows = wrapped;
        cursor = cursorRow;
        columns = newColumns;
    }
    // What RedrawFrame does, through the same plan and text.
    void Redraw(ConsoleFrame &frame, const std::vector<std::string> &lines) {
        size_t width = columns - 1;
        RedrawPlan plan = PlanRedraw(frame, width, lines.size(), int(cursor), 0, 40);
        for (int row = plan.top; row < plan.top + plan.clearRows && row < int(rows.size()); ++row) {
            rows[size_t(row)].clear();
        }
        cursor = size_t(plan.top);
        Write(FrameText(lines, width, plan.blankAfter));
        cursor -= plan.blankAfter;
        frame = {lines.size(), width};
    }
};

TEST(ConsoleFrame, ARedrawAfterTheWidthChangedLeavesNothingOfTheLastFrame) {
    const struct {
        const char *what;
        size_t before, after; // the window's columns
    } cases[] = {
        {"narrower: the last frame's rows were rewrapped", 120, 60},
        {"wider", 60, 120},
        {"the same width: drawn over in place", 100, 100},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        LiveViewState state = DemoWatch(16);
        WatchFrameText text{{"KelvoDyn.dll", "2026-12-08T18:21:43.782", "5 sources"}, ""};
        FakeConsole console{c.before};
        console.Write("$ kdhost --watch\n");
        ConsoleFrame frame;
        console.Redraw(frame, WatchFrameLines(text, state, c.before - 1));
        console.Resize(c.after);
        std::vector<std::string> lines = WatchFrameLines(text, state, c.after - 1);
        for (int redraw = 0; redraw < 2; ++redraw) { // and once more at that width
            console.Redraw(frame, lines);
            size_t top = c.before == c.after ? 1 : 0; // a new width starts at the window's top
            ASSERT_GE(console.rows.size(), top + lines.size());
            for (size_t i = 0; i < console.rows.size(); ++i) {
                std::string expected = i >= top && i < top + lines.size()
                                           ? FrameText({lines[i - top]}, c.after - 1, 0)
                                           : std::string();
                std::string row = console.rows[i] + (expected.empty() ? "" : "\n");
                if (expected.empty()) {
                    row.erase(row.find_last_not_of(' ') + 1);
                    if (i == 0 && top == 1) {
                        expected = "$ kdhost --watch"; // what was there before stays
                    }
                }
                EXPECT_EQ(row, expected) << "row " << i << ", redraw " << redraw;
            }
            EXPECT_EQ(console.cursor, top + lines.size());
        }
    }
}

// Paths of 260 characters or more are where the ANSI module-path call gave
// nothing and the plug-in was looked for in the current folder.
TEST(PluginBeside, NamesTheProgramsOwnFolderOrRefuses) {
    const std::string deep = "C:\\" + std::string(300, 'd');
    const std::wstring wideDeep(deep.begin(), deep.end());
    const struct {
        const char *what;
        std::wstring program;
        bool found;
        std::string plugin;
    } cases[] = {
        {"a short path", L"C:\\Tools\\kdhost.exe", true, "C:\\Tools\\KelvoDyn.dll"},
        {"past 260 characters", wideDeep + L"\\kdhost.exe", true, deep + "\\KelvoDyn.dll"},
        {"with the long-path prefix", L"\\\\?\\" + wideDeep + L"\\kdhost.exe", true,
         deep + "\\KelvoDyn.dll"},
        {"a network share, prefixed", L"\\\\?\\UNC\\server\\tools\\kdhost.exe", true,
         "\\\\server\\tools\\KelvoDyn.dll"},
        {"the system could not say", L"", false, ""},
        {"a bare name would be searched for", L"kdhost.exe", false, ""},
        // This test runs under Windows-1252, which has no CJK characters: no matter.
        {"a folder the ANSI code page cannot name", L"C:\\\u4e2d\\kdhost.exe", true,
         "C:\\\xE4\xB8\xAD\\KelvoDyn.dll"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = "unchanged", error;
        EXPECT_EQ(PluginBeside(c.program, path, error), c.found) << error;
        if (c.found) {
            EXPECT_EQ(path, c.plugin);
        } else {
            EXPECT_EQ(path, "unchanged") << "no path to search for";
            EXPECT_NE(error.find("cannot find the folder this program lies in"), std::string::npos)
                << error;
        }
    }
}

TEST(WidePath, LongFullPathsGetThePrefixTheWideCallsNeed) {
    const std::string deep = "C:\\" + std::string(300, 'd') + "\\KelvoDyn.dll";
    const struct {
        const char *what;
        std::string path;
        std::wstring wide;
    } cases[] = {
        {"short: as it is", "C:\\Tools\\KelvoDyn.dll", L"C:\\Tools\\KelvoDyn.dll"},
        {"long, with a drive", deep, L"\\\\?\\" + std::wstring(deep.begin(), deep.end())},
        {"long, on a share", "\\\\server\\" + std::string(300, 's'),
         L"\\\\?\\UNC\\server\\" + std::wstring(300, L's')},
        {"long and relative: no prefix fits", std::string(300, 'r'), std::wstring(300, L'r')},
        {"UTF-8 text (u-umlaut)",
         "C:\\L\xC3\xBC"
         "fter",
         L"C:\\L\u00FC"
         L"fter"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(WidePath(c.path), c.wide) << c.what;
    }
}

} // namespace

// Untrusted text on its way to a terminal: every control and every byte that
// is no UTF-8 shows as an escape; printable text, accents and the degree sign
// pass; long text is cut.
TEST(TerminalText, EscapesWhatATerminalWouldObey) {
    const struct Case {
        const char *what;
        std::string in;
        size_t limit;
        std::string shown;
    } cases[] = {
        {"plain", "CPU Package", 200, "CPU Package"},
        {"degree sign and accents",
         "\xC2\xB0"
         "C M\xC3\xBCller",
         200,
         "\xC2\xB0"
         "C M\xC3\xBCller"},
        {"title sequence", "\x1b]0;owned\x07", 200, "\\e]0;owned\\a"},
        {"clear screen", "\x1b[2J", 200, "\\e[2J"},
        {"line ends and tab", "a\r\nb\tc", 200, "a\\r\\nb\\tc"},
        {"DEL", "x\x7fy", 200, "x\\x7fy"},
        {"NUL inside", std::string("a\0b", 3), 200, "a\\x00b"},
        {"C1 CSI as UTF-8",
         "\xC2\x9B"
         "2J",
         200, "\\u009b2J"},
        {"ANSI byte, no UTF-8",
         "\xB0"
         "C",
         200, "\\xb0C"},
        {"overlong slash", "\xC0\xAF", 200, "\\xc0\\xaf"},
        {"surrogate", "\xED\xA0\x80", 200, "\\xed\\xa0\\x80"},
        {"cut lead byte", "ok\xE2\x82", 200, "ok\\xe2\\x82"},
        {"four bytes", "\xF0\x9F\x94\xA5", 200, "\xF0\x9F\x94\xA5"},
        {"cut to the limit", "abcdef", 3, "abc..."},
        {"exactly the limit", "abc", 3, "abc"},
        {"limit counts characters", "\xC3\xBC\xC3\xBC\xC3\xBC", 2, "\xC3\xBC\xC3\xBC..."},
        {"backslash stays", "C:\\Tools", 200, "C:\\Tools"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TerminalText(c.in, c.limit), c.shown) << c.what;
    }
    EXPECT_EQ(TerminalText(std::string(10 * 1000 * 1000, 'x')).size(), 203u) << "10 MB field";
}
