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
    const DrawnRange temperature{0, 150, 6}, fan{0, 7000, 7}, offset{-50, 50, 4};
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

SourceReading Scaled(float low, float high, float divisions, SourceGroup group = SourceGroup::Other,
                     const char *units = "") {
    SourceReading source;
    source.scaleMin = low;
    source.scaleMax = high;
    source.scaleDivisions = divisions;
    source.group = group;
    source.units = units;
    return source;
}

const char *const kCelsius = "\xC2\xB0"
                             "C";
const char *const kFahrenheit = "\xC2\xB0"
                                "F";

SourceReading Temperature(const char *units) {
    return Scaled(0, 150, 6, SourceGroup::Temperature, units);
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
        DrawnRange scale = RangeToDraw(c.source, c.history);
        EXPECT_EQ(scale.low, c.low);
        EXPECT_EQ(scale.high, c.high);
        EXPECT_EQ(scale.divisions, c.divisions);
    }
    EXPECT_EQ(GridlineValue({0, 7000, 7}, 3), 3000);
}

TEST(DrawnRange, ExtendsByWholeDivisionsToHoldPlausibleReadings) {
    const float none = NO_READING;
    const struct {
        const char *what;
        SourceReading source;
        std::deque<float> history;
        double low, high;
        int below, above; // divisions added
    } cases[] = {
        {"within the scale: as it is", Temperature(kCelsius), {45.5f, 150}, 0, 150, 0, 0},
        {"176 F: two divisions of 25 up", Temperature(kFahrenheit), {176}, 0, 200, 0, 2},
        {"212.5 F: three", Temperature(kFahrenheit), {75, 212.5f, none}, 0, 225, 0, 3},
        {"a hundredth past the top: one", Temperature(kCelsius), {150.01f}, 0, 175, 0, 1},
        {"on a gridline past the top: no more", Temperature(kCelsius), {200}, 0, 200, 0, 2},
        {"an old reading still in the history counts",
         Temperature(kCelsius),
         {180, 40, 40},
         0,
         200,
         0,
         2},
        {"below scaleMin", Temperature(kCelsius), {-20, 40}, -25, 150, 1, 0},
        {"both ways at the Fahrenheit bound",
         Temperature(kFahrenheit),
         {-572, 572},
         -575,
         575,
         23,
         17},
        {"past the Celsius bound: left clipped", Temperature(kCelsius), {301}, 0, 150, 0, 0},
        {"572 is past the Celsius bound", Temperature(kCelsius), {572}, 0, 150, 0, 0},
        {"a fan at 9000 RPM", Scaled(0, 7000, 7, SourceGroup::Fan, "RPM"), {9000}, 0, 9000, 0, 2},
        {"a fan past 15000 RPM: left clipped",
         Scaled(0, 7000, 7, SourceGroup::Fan, "RPM"),
         {15001},
         0,
         7000,
         0,
         0},
        {"no bound known: as far as fifty divisions", Scaled(0, 150, 6), {1000}, 0, 1000, 0, 34},
        {"no bound known, past fifty divisions: clipped", Scaled(0, 150, 6), {1e30f}, 0, 150, 0, 0},
        {"only the top when both do not fit", Scaled(0, 150, 6), {-1000, 1000}, 0, 1000, 0, 34},
        {"not finite: not drawn, not held", Temperature(kCelsius), {INFINITY, NAN}, 0, 150, 0, 0},
        {"no usable scale: never extended", Scaled(5, 5, 6), {10, 20}, 10, 20, 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        DrawnRange range = RangeToDraw(c.source, c.history);
        EXPECT_DOUBLE_EQ(range.low, c.low);
        EXPECT_DOUBLE_EQ(range.high, c.high);
        EXPECT_EQ(range.addedBelow, c.below);
        EXPECT_EQ(range.addedAbove, c.above);
        if (range.ownScale) {
            // The divisions keep their size, so the source's own gridlines stay where they were.
            int own = int(std::lround(c.source.scaleDivisions));
            EXPECT_EQ(range.divisions, own + c.below + c.above);
            EXPECT_LE(range.divisions, kMaxDrawnDivisions);
            EXPECT_DOUBLE_EQ(GridlineValue(range, c.below), c.source.scaleMin);
            EXPECT_DOUBLE_EQ(GridlineValue(range, c.below + own), c.source.scaleMax);
        }
        // A reading within the bound is held, unless its side got no divisions.
        for (float value : c.history) {
            Clip clip = ValueRow(value, range, kPlot).clip;
            if (Drawable(value) && std::fabs(value) <= PlausibleBound(c.source)) {
                EXPECT_TRUE(clip == Clip::None || (clip == Clip::Below && c.below == 0) ||
                            (clip == Clip::Above && c.above == 0))
                    << value;
            }
        }
    }
}

TEST(PlotMapping, HistoryRunsBreakAtGapsAndMarkClipping) {
    const DrawnRange scale{0, 150, 6};
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

TEST(PlotMapping, TimeTicksAtRoundStepsBackFromNow) {
    // kPlot: 300 pixels from the oldest sample's column to the newest's.
    const struct {
        const char *what;
        size_t capacity;
        unsigned intervalMs;
        int minSpacing;
        double step;
        size_t ticks;
    } cases[] = {
        {"150 s: every 50 s", 151, 1000, 60, 50, 4},
        {"150 s, room for more: every 25 s", 151, 1000, 50, 25, 7},
        {"15 s: every 5 s", 151, 100, 60, 5, 4},
        {"1.5 s: every half second", 151, 10, 60, 0.5, 4},
        {"5 min: every minute", 151, 2000, 60, 60, 6},
        {"150 min: every half hour", 151, 60000, 60, 1800, 6},
        {"a span no step fits: the doublings of two hours", 301, 3600000, 60, 230400, 5},
        {"no spacing asked: still no more than a tick a column", 301, 1000, 0, 1, 301},
        {"one sample: the plot spans one interval", 1, 1000, 60, 0.2, 6},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TimeAxis axis = TimeTicks(kPlot, c.capacity, c.intervalMs, c.minSpacing);
        EXPECT_DOUBLE_EQ(axis.step, c.step);
        ASSERT_EQ(axis.ticks.size(), c.ticks);
        double span = double(std::max<size_t>(c.capacity, 2) - 1) * c.intervalMs / 1000;
        for (size_t i = 0; i < axis.ticks.size(); ++i) {
            const TimeTick &tick = axis.ticks[i];
            EXPECT_DOUBLE_EQ(tick.seconds, c.step * double(i));
            EXPECT_EQ(tick.x, kPlot.right - 1 - int(std::lround(tick.seconds / span * 300))) << i;
            EXPECT_GE(tick.x, kPlot.left) << i;
            if (i > 0) {
                EXPECT_GE(axis.ticks[i - 1].x - tick.x, std::max(1, c.minSpacing) - 1) << i;
            }
        }
    }
    EXPECT_EQ(TimeTicks(kPlot, 151, 1000, 60).ticks.back().x, kPlot.left) << "-150 s on the axis";
}

TEST(ChartLayout, TheNoteGivesWayToTheValueAndTimeLabelsStayInside) {
    const PixelRect cell{0, 0, 320, 300};
    const struct {
        const char *what;
        int valueWidth, noteWidth;
        bool shown;
    } notes[] = {
        {"room for both", 130, 120, true},
        {"no note", 130, 0, false},
        {"a value too wide beside it", 200, 120, false},
    };
    for (const auto &c : notes) {
        ChartTextSizes text{18, 34, 15, 30, 15, c.valueWidth, c.noteWidth};
        ChartParts parts = LayOutChart(cell, text);
        EXPECT_EQ(parts.noteShown, c.shown) << c.what;
        EXPECT_EQ(parts.note.Width(), c.noteWidth) << c.what;
        EXPECT_EQ(parts.note.bottom, parts.value.bottom) << c.what;
        EXPECT_TRUE(Inside(parts.note, parts.card)) << c.what;
    }
    const PixelRect caption{100, 280, 401, 295};
    const struct {
        const char *what;
        int x, width, left;
    } labels[] = {
        {"centred under its tick", 250, 40, 230},
        {"at the left edge: starts there", 100, 40, 100},
        {"at the right edge: ends there", 400, 30, 371},
        {"wider than the caption: from its left", 250, 400, 100},
    };
    for (const auto &c : labels) {
        PixelRect box = TimeLabelBox(caption, c.x, c.width);
        EXPECT_EQ(box.left, c.left) << c.what;
        EXPECT_EQ(box.Width(), c.width) << c.what;
        EXPECT_EQ(box.top, caption.top) << c.what;
        EXPECT_EQ(box.bottom, caption.bottom) << c.what;
    }
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
    const struct {
        double seconds, step;
        const char *text;
    } times[] = {{0, 50, "now"},           {150, 50, "-150 s"},  {1.5, 0.5, "-1.5 s"},
                 {90, 15, "-90 s"},        {300, 60, "-5 min"},  {90, 30, "-90 s"},
                 {9000, 1800, "-150 min"}, {7200, 3600, "-2 h"}, {5400, 1800, "-90 min"}};
    for (const auto &c : times) {
        EXPECT_EQ(TimeLabel(c.seconds, c.step), c.text) << c.seconds << " s by " << c.step;
    }
    EXPECT_EQ(ExtendedNote(0, 150), "scale 0\u2013150 extended");
    EXPECT_EQ(ExtendedNote(-12.5f, 7000), "scale -12.5\u20137000 extended");

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
