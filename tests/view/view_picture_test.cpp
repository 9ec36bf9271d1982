// kdview.exe under a real X server (tests/view/CMakeLists.txt starts one for this
// program), beside kdmonitor.exe: the snapshot it writes is decoded and the
// picture itself is checked, chart by chart, from what the pixels show.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdlib>

#include "chart_finder.h"
#include "support/plugin_copy.h"
#include "png_pixels.h"
#include "support/processes.h"
#include "view_palette.h"

namespace {

const uint32_t kAxis = Rgb(kAxisColour), kGrid = Rgb(kGridColour);
const uint32_t kTemperature = Rgb(kTemperatureColour), kFan = Rgb(kFanColour);
const uint32_t kGreyed = Rgb(kGreyedColour), kExtended = Rgb(kExtendedColour);

std::string SnapshotPath(const char *name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "kdview-" + std::to_string(GetCurrentProcessId()) +
                       "-" + name + ".png";
    DeleteFileA(path.c_str());
    return path;
}

// Decodes the snapshot kdview wrote, and removes it.
::testing::AssertionResult ReadSnapshot(const std::string &path, Pixels &pixels) {
    std::string error;
    bool read = ReadPng(path, pixels, error);
    DeleteFileA(path.c_str());
    if (!read) {
        return ::testing::AssertionFailure() << error;
    }
    return ::testing::AssertionSuccess();
}

std::string WindowTitle() {
    HWND window = FindWindowW(L"KdViewWindow", nullptr);
    wchar_t title[128] = L"";
    if (window != nullptr) {
        GetWindowTextW(window, title, 128);
    }
    return std::string(title, title + wcslen(title));
}

// The row a value is drawn on: scaleMin on the bottom gridline, scaleMax on the top.
int RowOf(const FoundChart &chart, double value, double scaleMax) {
    int top = chart.ticks.front(), bottom = chart.ticks.back();
    return bottom - int(value / scaleMax * (bottom - top) + 0.5);
}

struct ChartCase {
    const char *what;
    uint32_t colour;
    size_t gridlines;
    double scaleMax; // as drawn: the source's own, or extended to hold the readings
    bool reading;    // a line is drawn
    double drawnAt;  // the value the line sits at
    size_t extended; // gridlines added above the source's own scale
};

// The part of the plot past the source's scale is shaded, and nothing else:
// from the top gridline down to the one of the source's scaleMax.
void ExpectShadedAbove(const Pixels &pixels, const FoundChart &chart, size_t extended) {
    ColourRows band = RowsOfColour(pixels, chart, kExtended);
    if (extended == 0) {
        EXPECT_EQ(band.count, 0u) << "shaded, though nothing is past the scale";
        return;
    }
    ASSERT_GT(band.count, 0u) << "no shade past the scale";
    EXPECT_LE(band.top, chart.ticks.front() + 1);
    EXPECT_EQ(band.bottom, chart.ticks[extended] - 1) << "the shade ends at the scale's top";
}

// kdmonitor --temps 45.5,75,400,200 --fans 900,3500,0: 400 degrees is past the
// plug-in's bound (no reading), 200 past the chart's scale of 0 to 150, which
// is extended by two divisions of 25 to hold it.
const ChartCase kCharts[] = {
    {"temperature 45.5", kTemperature, 7, 150, true, 45.5, 0},
    {"temperature 75, the scale's middle", kTemperature, 7, 150, true, 75, 0},
    {"temperature with no reading", kTemperature, 7, 150, false, 0, 0},
    {"temperature 200, past the scale", kTemperature, 9, 200, true, 200, 2},
    {"fan 900", kFan, 8, 7000, true, 900, 0},
    {"fan 3500, the scale's middle", kFan, 8, 7000, true, 3500, 0},
    {"stopped fan", kFan, 8, 7000, true, 0, 0},
};

// The chart drawn as the case says: its gridlines, the shade past the source's
// scale, its line near its row (within 2 rows, so no clip mark under an edge,
// which would reach 4 to 8 rows down) or none, and no other group's colour.
void ExpectChart(const Pixels &pixels, const FoundChart &chart, const ChartCase &c) {
    ASSERT_EQ(chart.ticks.size(), c.gridlines);
    EXPECT_TRUE(chart.gridlinesAcross);
    uint32_t otherColour = c.colour == kTemperature ? kFan : kTemperature;
    EXPECT_EQ(RowsOfColour(pixels, chart, otherColour).count, 0u) << "the other group's colour";
    ExpectShadedAbove(pixels, chart, c.extended);
    ColourRows line = RowsOfColour(pixels, chart, c.colour);
    if (!c.reading) {
        EXPECT_EQ(line.count, 0u) << "a line where there was no reading";
        return;
    }
    ASSERT_GT(line.count, 0u);
    int expected = RowOf(chart, c.drawnAt, c.scaleMax);
    EXPECT_GE(line.top, expected - 2) << "expected near row " << expected;
    EXPECT_LE(line.bottom, expected + 2) << "expected near row " << expected;
}

TEST(ViewPicture, EverySourceIsAChartOnItsOwnScale) {
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 45.5,75,400,200 --fans 900,3500,0", monitor));
    std::string title, path = SnapshotPath("charts");
    CapturedTool view("kdview.exe", "--snapshot \"" + path + "\" --after 4 --size 1000x720");
    // The title, read from the window while it is open.
    WaitUntil([&] { return (title = WindowTitle()).rfind("KelvoDyn: ", 0) == 0; }, 30000);
    EXPECT_EQ(title, "KelvoDyn: 7 sources");
    ASSERT_EQ(view.Wait(60000), 0) << view.Errors();
    Pixels pixels;
    ASSERT_TRUE(ReadSnapshot(path, pixels));
    EXPECT_EQ(pixels.width, 1000);
    EXPECT_EQ(pixels.height, 720);
    EXPECT_TRUE(pixels.opaque);

    std::vector<FoundChart> charts = FindCharts(pixels, kAxis, kGrid);
    ASSERT_EQ(charts.size(), std::size(kCharts));
    for (size_t i = 0; i < charts.size(); ++i) {
        SCOPED_TRACE(kCharts[i].what);
        ExpectChart(pixels, charts[i], kCharts[i]);
    }
    // 75 of 150 and 3500 of 7000: the plot's vertical middle.
    for (size_t i : {size_t(1), size_t(5)}) {
        const FoundChart &chart = charts[i];
        double middle = (chart.ticks.front() + chart.ticks.back()) / 2.0;
        ColourRows line = RowsOfColour(pixels, chart, kCharts[i].colour);
        EXPECT_LE(std::abs(line.top - middle), 2.0) << kCharts[i].what;
        EXPECT_LE(std::abs(line.bottom - middle), 2.0) << kCharts[i].what;
    }
}

// Run only on a screen smaller than the pictures asked for (CMakeLists.txt
// starts an X server of 320x200 for it): the window is clipped, the snapshot
// must not be.
TEST(ViewSmallScreen, SnapshotsAreTheSizeAskedForWhateverTheScreen) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_LT(screenWidth, 400) << "this test needs a screen smaller than its pictures";
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 75 --fans 3500", monitor));
    const struct {
        const char *what;
        const char *size; // "" for the default
        int width, height;
    } cases[] = {
        {"the default size", "", 960, 600},
        {"a size asked for", " --size 1000x720", 1000, 720},
        {"a size just past the screen", " --size 400x300", 400, 300},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = SnapshotPath("small-screen");
        CapturedTool view("kdview.exe", "--snapshot \"" + path + "\" --after 2" + c.size);
        ASSERT_EQ(view.Wait(60000), 0) << view.Errors();
        Pixels pixels;
        ASSERT_TRUE(ReadSnapshot(path, pixels));
        EXPECT_EQ(pixels.width, c.width)
            << "on a " << screenWidth << "x" << screenHeight << " screen";
        EXPECT_EQ(pixels.height, c.height);
        std::vector<FoundChart> charts = FindCharts(pixels, kAxis, kGrid);
        ASSERT_EQ(charts.size(), 2u) << "both charts whole in the picture";
        // 75 of 150 and 3500 of 7000: each line is drawn, in the plot's middle.
        for (size_t i = 0; i < charts.size(); ++i) {
            const FoundChart &chart = charts[i];
            ColourRows line = RowsOfColour(pixels, chart, i == 0 ? kTemperature : kFan);
            ASSERT_GT(line.count, 0u) << "chart " << i << " has no line";
            const double middle = (chart.ticks.front() + chart.ticks.back()) / 2.0;
            EXPECT_LE(std::abs(line.top - middle), 2.0) << "chart " << i;
        }
    }
}

TEST(ViewPicture, FahrenheitReadingsPastTheScaleAreDrawnInsideTheirCharts) {
    PluginCopy copy("view-fahrenheit");
    ASSERT_TRUE(copy.ok());
    copy.WriteSettings(SettingsText({"UseFahrenheit=yes"}));
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 176,212.5,380 --fans 16000", monitor));
    std::string path = SnapshotPath("fahrenheit");
    CapturedTool view("kdview.exe", "--plugin \"" + copy.folder() + "\\KelvoDyn.dll\" " +
                                        "--snapshot \"" + path + "\" --after 3 --size 960x600");
    ASSERT_EQ(view.Wait(60000), 0) << view.Errors();
    Pixels pixels;
    ASSERT_TRUE(ReadSnapshot(path, pixels));
    std::vector<FoundChart> charts = FindCharts(pixels, kAxis, kGrid);
    // The scale of 0 to 150 in divisions of 25, up to the next gridline past
    // the reading; 16000 RPM is past the plug-in's bound, so no reading. 380
    // would be past the Celsius bound: it shows the settings file was read.
    const ChartCase cases[] = {
        {"176 F on 0 to 200", kTemperature, 9, 200, true, 176, 2},
        {"212.5 F on 0 to 225", kTemperature, 10, 225, true, 212.5, 3},
        {"380 F, a reading only in Fahrenheit, on 0 to 400", kTemperature, 17, 400, true, 380, 10},
        {"a fan past the bound", kFan, 8, 7000, false, 0, 0},
    };
    ASSERT_EQ(charts.size(), std::size(cases));
    for (size_t i = 0; i < charts.size(); ++i) {
        const ChartCase &c = cases[i];
        const FoundChart &chart = charts[i];
        SCOPED_TRACE(c.what);
        ExpectChart(pixels, chart, c);
        ColourRows line = RowsOfColour(pixels, chart, c.colour);
        if (c.reading) {
            // Inside the chart below its top edge, past the source's scaleMax.
            EXPECT_GT(line.top, chart.ticks.front() + 4);
            EXPECT_LT(line.bottom, chart.ticks[c.extended]);
        }
    }
}

TEST(ViewPicture, ANarrowWindowStacksTheChartsInOneColumn) {
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 75 --fans 3500,1200", monitor));
    // Both at once, each in a window of its own size.
    std::string widePath = SnapshotPath("wide"), narrowPath = SnapshotPath("narrow");
    CapturedTool wideView("kdview.exe", "--snapshot \"" + widePath + "\" --after 2 --size 960x400");
    CapturedTool narrowView("kdview.exe",
                            "--snapshot \"" + narrowPath + "\" --after 2 --size 300x800");
    ASSERT_EQ(wideView.Wait(60000), 0) << wideView.Errors();
    ASSERT_EQ(narrowView.Wait(60000), 0) << narrowView.Errors();
    Pixels wide, narrow;
    ASSERT_TRUE(ReadSnapshot(widePath, wide));
    ASSERT_TRUE(ReadSnapshot(narrowPath, narrow));
    std::vector<FoundChart> side = FindCharts(wide, kAxis, kGrid);
    std::vector<FoundChart> stacked = FindCharts(narrow, kAxis, kGrid);
    ASSERT_EQ(side.size(), 3u);
    ASSERT_EQ(stacked.size(), 3u);
    for (size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(side[i].axisTop, side[0].axisTop) << "wide: chart " << i << " in the first row";
        EXPECT_GT(side[i].axisX, side[i - 1].axisX) << "wide: chart " << i;
        EXPECT_GT(stacked[i].axisTop, stacked[i - 1].axisBottom) << "narrow: chart " << i;
        EXPECT_LT(std::abs(stacked[i].axisX - stacked[0].axisX), 20) << "narrow: chart " << i;
    }
}

TEST(ViewPicture, ChartsStayGreyedUnderABannerWhenTheMonitorStops) {
    std::unique_ptr<CapturedTool> monitor;
    ASSERT_TRUE(StartMonitor("--temps 75 --fans 3500", monitor));
    std::string path = SnapshotPath("stopped");
    CapturedTool view("kdview.exe", "--snapshot \"" + path + "\" --after 10 --size 800x500");
    ASSERT_TRUE(WaitUntil([] { return WindowTitle() == "KelvoDyn: 2 sources"; }, 30000))
        << "kdview never showed the two sources: " << view.Errors();
    monitor.reset(); // ended at once: its window is gone
    ASSERT_TRUE(WaitUntil([] { return WindowTitle() == "KelvoDyn: 0 sources"; }, 30000))
        << "kdview did not notice the monitor stopped";
    ASSERT_EQ(view.Wait(60000), 0) << view.Errors();
    Pixels pixels;
    ASSERT_TRUE(ReadSnapshot(path, pixels));

    std::vector<int> banner = RowsCoveredBy(pixels, Rgb(kBannerColour), 0.8);
    ASSERT_FALSE(banner.empty()) << "no banner across the picture";
    EXPECT_LT(banner.front(), 30) << "the banner is at the top";
    std::vector<FoundChart> charts = FindCharts(pixels, kAxis, kGrid);
    ASSERT_EQ(charts.size(), 2u) << "the last charts stay";
    for (const FoundChart &chart : charts) {
        EXPECT_GT(chart.axisTop, banner.back()) << "charts below the banner";
        EXPECT_EQ(RowsOfColour(pixels, chart, kTemperature).count, 0u) << "not greyed";
        EXPECT_EQ(RowsOfColour(pixels, chart, kFan).count, 0u) << "not greyed";
        EXPECT_GT(RowsOfColour(pixels, chart, kGreyed).count, 0u) << "the history is gone";
    }
}

} // namespace
