// kdview's plain functions without a window: the grid's reflow, the parts of a
// chart, a value's row and the history's runs, the text it draws, its options.
#include <gtest/gtest.h>

#include <cmath>

#include "chart_layout.h"
#include "chart_text.h"
#include "plot_mapping.h"
#include "view_options.h"

namespace {

struct GridCase {
    const char *what;
    int width, height;
    size_t count;
    int columns, rows;
};

TEST(ChartGrid, ColumnsFollowTheWidth) {
    const GridCase cases[] = {
        {"wide: three to a row", 960, 600, 5, 3, 2},
        {"narrow: one column", 300, 800, 5, 1, 5},
        {"just too narrow for two", 599, 600, 5, 1, 5},
        {"just wide enough for two", 600, 600, 5, 2, 3},
        {"no more columns than charts", 1920, 600, 2, 2, 1},
        {"one chart fills the area", 960, 600, 1, 1, 1},
        {"narrower than one chart still gets one", 100, 600, 3, 1, 3},
        {"many charts", 1280, 1000, 64, 4, 16},
    };
    for (const GridCase &c : cases) {
        SCOPED_TRACE(c.what);
        PixelRect area{4, 10, 4 + c.width, 10 + c.height};
        ChartGrid grid = LayOutGrid(area, c.count);
        EXPECT_EQ(grid.columns, c.columns);
        EXPECT_EQ(grid.rows, c.rows);
        ASSERT_EQ(grid.cells.size(), c.count);
        // The cells tile the area row by row, without gaps or overlap.
        for (size_t i = 0; i < c.count; ++i) {
            const PixelRect &cell = grid.cells[i];
            size_t column = i % size_t(c.columns);
            EXPECT_EQ(cell.left, column == 0 ? area.left : grid.cells[i - 1].right) << i;
            EXPECT_EQ(cell.top,
                      i < size_t(c.columns) ? area.top : grid.cells[i - size_t(c.columns)].bottom)
                << i;
            EXPECT_GE(cell.Width(), c.width / c.columns) << i;
            EXPECT_LE(cell.Width(), c.width / c.columns + 1) << i;
        }
        size_t lastInRow = std::min(c.count, size_t(c.columns)) - 1;
        EXPECT_EQ(grid.cells[lastInRow].right, area.right);
        EXPECT_EQ(grid.cells.back().bottom, area.bottom);
    }
    EXPECT_TRUE(LayOutGrid({0, 0, 960, 600}, 0).cells.empty());
    EXPECT_TRUE(LayOutGrid({0, 0, 0, 600}, 3).cells.empty());
}

bool Inside(const PixelRect &inner, const PixelRect &outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
           inner.bottom <= outer.bottom;
}

TEST(ChartLayout, PartsStayInTheirCardInOrder) {
    const ChartTextSizes text{18, 34, 15, 30, 15};
    const struct {
        const char *what;
        PixelRect cell;
        bool plotShown;
    } cases[] = {
        {"a roomy cell", {0, 0, 320, 300}, true},
        {"a cell away from the corner", {640, 300, 960, 600}, true},
        {"a short cell", {0, 0, 320, 120}, false},
        {"a thin cell", {0, 0, 100, 300}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ChartParts parts = LayOutChart(c.cell, text);
        EXPECT_EQ(parts.plotShown, c.plotShown);
        EXPECT_TRUE(Inside(parts.card, c.cell));
        EXPECT_TRUE(Inside(parts.name, parts.card));
        EXPECT_EQ(parts.name.Height(), text.nameHeight);
        EXPECT_EQ(parts.value.top, parts.name.bottom);
        EXPECT_EQ(parts.value.Height(), text.valueHeight);
        if (!c.plotShown) {
            continue;
        }
        EXPECT_TRUE(Inside(parts.plot, parts.card));
        EXPECT_TRUE(Inside(parts.caption, parts.card));
        // The top label, centred on the plot's top row, stays below the value.
        EXPECT_GE(parts.plot.top - text.labelHeight / 2, parts.value.bottom);
        EXPECT_LE(parts.plot.bottom + (text.labelHeight + 1) / 2, parts.card.bottom);
        EXPECT_LE(parts.plot.bottom, parts.caption.top);
        // Label, gap, tick, axis, from left to right.
        EXPECT_GE(parts.labelRight - text.labelWidth, parts.card.left);
        EXPECT_LT(parts.labelRight, parts.tickLeft);
        EXPECT_LT(parts.tickLeft, parts.plot.left);
    }
}

const PixelRect kPlot{100, 50, 401, 201}; // 301 columns, 151 rows: 150 steps down

TEST(PlotMapping, GridlinesSplitThePlotEvenly) {
    const struct {
        const char *what;
        int divisions;
        std::vector<int> rows;
    } cases[] = {
        {"a temperature's six", 6, {200, 175, 150, 125, 100, 75, 50}},
        {"one: the ends only", 1, {200, 50}},
        {"seven round to the nearest row", 7, {200, 179, 157, 136, 114, 93, 71, 50}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(GridlineRows(kPlot, c.divisions), c.rows) << c.what;
    }
}

struct RowCase {
    const char *what;
    double value;
    int y;
    Clip clip;
};

TEST(PlotMapping, AValuesRowClipsAtTheEdges) {
    const ChartScale temperature{0, 150, 6}, fan{0, 7000, 7}, offset{-50, 50, 4};
    const RowCase temperatures[] = {
        {"scaleMin on the bottom row", 0, 200, Clip::None},
        {"scaleMax on the top row", 150, 50, Clip::None},
        {"75 in the middle", 75, 125, Clip::None},
        {"45.5, rounded to the nearer row", 45.5, 154, Clip::None},
        {"above the scale: the top edge", 200, 50, Clip::Above},
        {"far above", 1e30, 50, Clip::Above},
        {"below the scale: the bottom edge", -20, 200, Clip::Below},
    };
    for (const RowCase &c : temperatures) {
        PlotRow row = ValueRow(c.value, temperature, kPlot);
        EXPECT_EQ(row.y, c.y) << c.what;
        EXPECT_EQ(row.clip, c.clip) << c.what;
    }
    EXPECT_EQ(ValueRow(3500, fan, kPlot).y, 125) << "3500 RPM in the middle";
    EXPECT_EQ(ValueRow(0, offset, kPlot).y, 125) << "a scale around zero";
    EXPECT_EQ(ValueRow(-50, offset, kPlot).clip, Clip::None) << "its minimum";
}

SourceReading Scaled(float low, float high, float divisions) {
    SourceReading source;
    source.scaleMin = low;
    source.scaleMax = high;
    source.scaleDivisions = divisions;
    return source;
}

TEST(PlotMapping, TheSourcesScaleOrTheValuesOwn) {
    const struct {
        const char *what;
        SourceReading source;
        std::deque<float> history;
        double low, high;
        int divisions;
    } cases[] = {
        {"a temperature", Scaled(0, 150, 6), {40}, 0, 150, 6},
        {"a fan", Scaled(0, 7000, 7), {}, 0, 7000, 7},
        {"divisions rounded", Scaled(0, 10, 4.6f), {}, 0, 10, 5},
        {"no divisions: the ends", Scaled(0, 10, 0), {}, 0, 10, 1},
        {"not-a-number divisions", Scaled(0, 10, NAN), {}, 0, 10, 1},
        {"absurd divisions", Scaled(0, 10, 1e9f), {}, 0, 10, 1},
        {"max not above min: the values' range", Scaled(5, 5, 6), {10, NO_READING, 20}, 10, 20, 4},
        {"an infinite max", Scaled(0, INFINITY, 6), {1, 3}, 1, 3, 4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ChartScale scale = ScaleOf(c.source, c.history);
        EXPECT_EQ(scale.low, c.low);
        EXPECT_EQ(scale.high, c.high);
        EXPECT_EQ(scale.divisions, c.divisions);
    }
    EXPECT_EQ(GridlineValue({0, 7000, 7}, 3), 3000);
}

TEST(PlotMapping, HistoryRunsBreakAtGapsAndMarkClipping) {
    const ChartScale scale{0, 150, 6};
    const float none = NO_READING;
    // Capacity 301 over 301 columns: one column a sample, the newest at x 400.
    HistoryTrace trace =
        TraceHistory({75, 75, none, 150, 200, 300, 0, -5, none, NAN, 75}, 301, scale, kPlot);
    ASSERT_EQ(trace.runs.size(), 3u);
    EXPECT_EQ(trace.runs[0].size(), 2u) << "75, 75";
    ASSERT_EQ(trace.runs[1].size(), 5u) << "150 to -5";
    EXPECT_EQ(trace.runs[2].size(), 1u) << "the lone 75 after two gaps";
    EXPECT_EQ(trace.runs[0][0].x, 390);
    EXPECT_EQ(trace.runs[2][0].x, 400);
    EXPECT_EQ(trace.runs[2][0].y, 125);
    EXPECT_EQ(trace.runs[1][1].y, 50) << "200 sits on the top edge";
    EXPECT_EQ(trace.runs[1][4].y, 200) << "-5 on the bottom edge";
    // One mark per clipped stretch, at its newest sample: 200 and 300 above, -5 below.
    ASSERT_EQ(trace.marks.size(), 2u);
    EXPECT_EQ(trace.marks[0].clip, Clip::Above);
    EXPECT_EQ(trace.marks[0].at.x, 395) << "at 300, the newer of the two";
    EXPECT_EQ(trace.marks[1].clip, Clip::Below);
    EXPECT_EQ(trace.marks[1].at.x, 397);

    // More history than the plot holds: only the newest samples.
    std::deque<float> longHistory(400, 75.0f);
    trace = TraceHistory(longHistory, 150, scale, kPlot);
    ASSERT_EQ(trace.runs.size(), 1u);
    EXPECT_EQ(trace.runs[0].size(), 150u);
    EXPECT_EQ(trace.runs[0].front().x, kPlot.left);
    EXPECT_EQ(trace.runs[0].back().x, kPlot.right - 1);
    EXPECT_TRUE(TraceHistory({none, none}, 150, scale, kPlot).runs.empty());
}

TEST(PlotMapping, LabelsWhereTheyFit) {
    const struct {
        const char *what;
        std::vector<int> rows;
        int labelHeight;
        std::vector<bool> labelled;
    } cases[] = {
        {"room for all", {200, 175, 150, 125, 100, 75, 50}, 12, {1, 1, 1, 1, 1, 1, 1}},
        {"every second, and the top in place of the one below it",
         {100, 92, 84, 76, 68, 60, 52, 44},
         12,
         {1, 0, 1, 0, 1, 0, 0, 1}},
        {"every second; the top is one of them", {100, 92, 84, 76, 68}, 12, {1, 0, 1, 0, 1}},
        {"the top too close to the last label", {100, 95, 90, 85}, 12, {1, 0, 0, 1}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(LabelledGridlines(c.rows, c.labelHeight), c.labelled) << c.what;
    }
}

TEST(ChartText, TitleLabelsAndCaptions) {
    EXPECT_EQ(WindowTitle(5), "KelvoDyn: 5 sources");
    EXPECT_EQ(WindowTitle(1), "KelvoDyn: 1 source");
    EXPECT_EQ(WindowTitle(0), "KelvoDyn: 0 sources");
    const struct {
        double value;
        const char *text;
    } labels[] = {{0, "0"},           {25, "25"},  {7000, "7000"},  {0.25, "0.25"},
                  {10.0 / 3, "3.33"}, {-0.0, "0"}, {-12.5, "-12.5"}};
    for (const auto &c : labels) {
        EXPECT_EQ(GridlineLabel(c.value), c.text) << c.value;
    }
    EXPECT_EQ(SpanCaption(150, 1000), "last 150 s");
    EXPECT_EQ(SpanCaption(150, 100), "last 15 s");
    EXPECT_EQ(SpanCaption(150, 10), "last 1.5 s");
    EXPECT_EQ(SpanCaption(150, 2000), "last 5 min");
    EXPECT_EQ(SpanCaption(150, 1500), "last 3 min 45 s");
    EXPECT_EQ(SpanCaption(150, 60000), "last 150 min");

    SourceReading source;
    source.group = SourceGroup::Temperature;
    source.units = "\xC2\xB0"
                   "C";
    source.value = 75;
    EXPECT_EQ(ValueCaption(source), "75.00 \xC2\xB0"
                                    "C");
    source.value = NO_READING;
    EXPECT_EQ(ValueCaption(source), "no reading");
}

TEST(ViewOptions, ValuesAndDefaults) {
    std::string error;
    auto defaults = ParseViewOptions({}, error);
    ASSERT_TRUE(defaults) << error;
    EXPECT_EQ(defaults->intervalMs, 1000u);
    EXPECT_EQ(defaults->width, 960);
    EXPECT_EQ(defaults->height, 600);
    EXPECT_TRUE(defaults->snapshotPath.empty());

    auto given = ParseViewOptions({"--plugin", "a.dll", "--interval", "250", "--size", "1280x720",
                                   "--snapshot", "out.png", "--after", "2.5"},
                                  error);
    ASSERT_TRUE(given) << error;
    EXPECT_EQ(given->pluginPath, "a.dll");
    EXPECT_EQ(given->intervalMs, 250u);
    EXPECT_EQ(given->width, 1280);
    EXPECT_EQ(given->height, 720);
    EXPECT_EQ(given->snapshotPath, "out.png");
    EXPECT_EQ(given->snapshotAfterSeconds, 2.5);
    auto snapshotAlone = ParseViewOptions({"--snapshot", "out.png"}, error);
    ASSERT_TRUE(snapshotAlone) << error;
    EXPECT_EQ(snapshotAlone->snapshotAfterSeconds, 5);
}

} // namespace
