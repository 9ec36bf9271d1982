// kdhost's plain functions on their own: the sparkline's scale, numbers that
// read back as the same float, the watch's rows across monitor stops, and
// diagnoses a live monitor cannot produce.
#include <gtest/gtest.h>

#include <cstring>

#include "block_diagnosis.h"
#include "number_text.h"
#include "source_snapshot.h"
#include "source_interface/kelvodyn.h"
#include "sparkline.h"
#include "watch_state.h"

namespace {

const std::string kLow = "\u2581", kHigh = "\u2588";

struct SparkCase {
    const char *what;
    std::deque<float> values;
    float scaleMin, scaleMax;
    size_t width;
    std::string expected;
};

TEST(Sparkline, DrawsOnTheSourcesOwnScale) {
    const SparkCase cases[] = {
        {"scale minimum is the lowest bar", {0}, 0, 150, 1, kLow},
        {"scale maximum is the highest bar", {150}, 0, 150, 1, kHigh},
        {"just below an eighth", {18.7f}, 0, 150, 1, "\u2581"},
        {"an eighth up", {18.75f}, 0, 150, 1, "\u2582"},
        {"halfway", {3500}, 0, 7000, 1, "\u2585"},
        {"past the maximum sits at the top", {9000}, 0, 7000, 1, kHigh},
        {"below the minimum sits at the bottom", {-40}, 0, 150, 1, kLow},
        {"a scale not starting at 0", {60}, 50, 70, 1, "\u2585"},
        {"no reading leaves a gap", {0, NO_READING, 150}, 0, 150, 3, kLow + " " + kHigh},
        {"short history is right-aligned", {150}, 0, 150, 3, "  " + kHigh},
        {"long history keeps the newest", {0, 0, 150, 150}, 0, 150, 2, kHigh + kHigh},
        {"no usable scale: the values' own range", {10, 20}, 5, 5, 2, kLow + kHigh},
        {"no usable scale, equal values", {7, 7}, 0, 0, 2, kLow + kLow},
    };
    for (const SparkCase &c : cases) {
        EXPECT_EQ(Sparkline(c.values, c.scaleMin, c.scaleMax, c.width), c.expected) << c.what;
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

TEST(WatchState, KeepsRowsThroughAStopAndFollowsNewCounts) {
    WatchState state;
    state.historyLength = 4;
    AdvanceWatch(state, Sources({Source(0, SourceGroup::Temperature, "T1", 150),
                                 Source(1, SourceGroup::Fan, "F1", 7000)}));
    ASSERT_EQ(state.rows.size(), 2u);
    EXPECT_TRUE(state.sourcesNow);

    AdvanceWatch(state, Sources({})); // the monitor stopped
    ASSERT_EQ(state.rows.size(), 2u) << "the last rows stay";
    EXPECT_FALSE(state.sourcesNow);
    for (const SourceReading &row : state.rows) {
        EXPECT_FALSE(HasReading(row.value)) << row.name;
    }

    // Back with two temperatures before the fan: the fan moves to index 2 but
    // keeps its history, the new temperature starts one.
    AdvanceWatch(state, Sources({Source(0, SourceGroup::Temperature, "T1", 0),
                                 Source(1, SourceGroup::Temperature, "T2", 0),
                                 Source(2, SourceGroup::Fan, "F1", 0)}));
    ASSERT_EQ(state.rows.size(), 3u);
    std::vector<std::string> lines = RowSparklines(state, 4);
    EXPECT_EQ(lines[0], " " + kHigh + " " + kLow) << "T1";
    EXPECT_EQ(lines[1], "   " + kLow) << "T2";
    EXPECT_EQ(lines[2], " " + kHigh + " " + kLow) << "F1";

    // Fewer sources: the rows shrink; a source gone long enough is forgotten.
    for (int i = 0; i < 5; ++i) {
        AdvanceWatch(state, Sources({Source(0, SourceGroup::Temperature, "T1", 0)}));
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
        {"the flag checked before the window",
         [](BlockCopy &c) {
             c.block.flags = 0xFE; // every bit but bit 0
             c.windowExists = false;
         },
         Finding::NotPublishing, "Bit 0 of the block's flags is clear"},
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

} // namespace
