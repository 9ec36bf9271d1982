// GDI drawing of the picture. All positions come from chart_layout and
// plot_mapping; this file only turns them into lines, text and fills.
#include "chart_painter.h"

#include <algorithm>
#include <vector>

#include "chart_layout.h"
#include "chart_text.h"
#include "plot_mapping.h"
#include "text_output.h"
#include "view_palette.h"

namespace {

constexpr int kMargin = 8; // around the banner, as around the grid
constexpr int kBannerPadding = 10;
constexpr int kMarkHalfWidth = 5, kMarkHeight = 7;

HFONT Font(int pixels, int weight) {
    return CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

TEXTMETRICW Metrics(HDC dc, HFONT font) {
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    return metrics;
}

int LineHeight(HDC dc, HFONT font) {
    return Metrics(dc, font).tmHeight;
}

// What two labels above each other need not to touch: the glyphs' height,
// without the space the font keeps above them.
int GlyphHeight(HDC dc, HFONT font) {
    TEXTMETRICW metrics = Metrics(dc, font);
    return metrics.tmHeight - metrics.tmInternalLeading;
}

int TextWidth(HDC dc, HFONT font, const std::wstring &text) {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    return size.cx;
}

RECT ToRect(const PixelRect &r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

void Fill(HDC dc, const PixelRect &area, COLORREF colour) {
    SetDCBrushColor(dc, colour);
    RECT rect = ToRect(area);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void FillWithEdge(HDC dc, const PixelRect &area, COLORREF fill, COLORREF edge) {
    Fill(dc, area, edge);
    Fill(dc, {area.left + 1, area.top + 1, area.right - 1, area.bottom - 1}, fill);
}

void Text(HDC dc, HFONT font, COLORREF colour, const std::string &utf8, PixelRect area,
          UINT format) {
    std::wstring wide = Utf8ToWide(utf8);
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, colour);
    RECT rect = ToRect(area);
    DrawTextW(dc, wide.c_str(), int(wide.size()), &rect, format | DT_NOPREFIX);
    SelectObject(dc, old);
}

void HorizontalLine(HDC dc, int left, int right, int y, COLORREF colour) {
    Fill(dc, {left, y, right, y + 1}, colour);
}

COLORREF GroupColour(SourceGroup group) {
    switch (group) {
    case SourceGroup::Temperature:
        return kTemperatureColour;
    case SourceGroup::Fan:
        return kFanColour;
    default:
        return kOtherColour;
    }
}

// The banner across the top; returns its bottom edge.
int PaintBanner(HDC dc, int width, const ViewFonts &fonts, const std::string &sentence) {
    std::wstring wide = Utf8ToWide(sentence);
    RECT measure{0, 0, width - 2 * (kMargin + kBannerPadding), 0};
    HGDIOBJ old = SelectObject(dc, fonts.banner);
    DrawTextW(dc, wide.c_str(), int(wide.size()), &measure, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(dc, old);
    PixelRect box{kMargin, kMargin, width - kMargin,
                  kMargin + 2 * kBannerPadding + int(measure.bottom)};
    FillWithEdge(dc, box, kBannerColour, kBannerEdgeColour);
    Text(dc, fonts.banner, kBannerTextColour, sentence,
         {box.left + kBannerPadding, box.top + kBannerPadding, box.right - kBannerPadding,
          box.bottom - kBannerPadding},
         DT_WORDBREAK);
    return box.bottom;
}

void PaintTrace(HDC dc, const HistoryTrace &trace, const PixelRect &plot, COLORREF colour) {
    int saved = SaveDC(dc);
    // Nothing of the line reaches past the plot, however thick it is drawn.
    IntersectClipRect(dc, plot.left + 1, plot.top, plot.right, plot.bottom);
    HPEN pen = CreatePen(PS_SOLID, 2, colour);
    SelectObject(dc, pen);
    SetDCBrushColor(dc, colour);
    SelectObject(dc, GetStockObject(DC_BRUSH));
    for (const std::vector<PlotPoint> &run : trace.runs) {
        if (run.size() == 1) {
            // A lone reading between two gaps is a dot.
            Fill(dc, {run[0].x - 1, run[0].y - 1, run[0].x + 1, run[0].y + 1}, colour);
            continue;
        }
        std::vector<POINT> points;
        for (const PlotPoint &p : run) {
            points.push_back(POINT{p.x, p.y});
        }
        Polyline(dc, points.data(), int(points.size()));
    }
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
    pen = CreatePen(PS_SOLID, 1, colour);
    SelectObject(dc, pen);
    for (const ClipMark &mark : trace.marks) {
        // A triangle pointing past the edge the value went beyond.
        int x =
            std::clamp(mark.at.x, plot.left + 1 + kMarkHalfWidth, plot.right - 1 - kMarkHalfWidth);
        int tip = mark.clip == Clip::Above ? plot.top : plot.bottom - 1;
        int base = mark.clip == Clip::Above ? tip + kMarkHeight : tip - kMarkHeight;
        POINT corners[] = {{x, tip}, {x - kMarkHalfWidth, base}, {x + kMarkHalfWidth, base}};
        Polygon(dc, corners, 3);
    }
    RestoreDC(dc, saved);
    DeleteObject(pen);
}

// The plot's background past the source's own scale, above and below it.
void PaintExtendedBands(HDC dc, const PixelRect &plot, const std::vector<int> &rows,
                        const DrawnRange &scale) {
    if (scale.addedAbove > 0) {
        Fill(dc, {plot.left + 1, plot.top, plot.right, rows[scale.divisions - scale.addedAbove]},
             kExtendedColour);
    }
    if (scale.addedBelow > 0) {
        Fill(dc, {plot.left + 1, rows[scale.addedBelow] + 1, plot.right, plot.bottom},
             kExtendedColour);
    }
}

// Ticks under the plot's bottom row and their labels in the caption.
void PaintTimeAxis(HDC dc, const ChartParts &parts, const ViewFonts &fonts,
                   const ViewPicture &picture) {
    const PixelRect &plot = parts.plot;
    // The widest label a step gives, and half as much again between two.
    int spacing = TextWidth(dc, fonts.label, L"-000 min") * 3 / 2;
    TimeAxis axis = TimeTicks(plot, picture.capacity, picture.intervalMs, spacing);
    for (const TimeTick &tick : axis.ticks) {
        Fill(dc, {tick.x, plot.bottom, tick.x + 1, parts.caption.top}, kAxisColour);
        std::string label = TimeLabel(tick.seconds, axis.step);
        int width = TextWidth(dc, fonts.label, Utf8ToWide(label));
        Text(dc, fonts.label, kQuietTextColour, label, TimeLabelBox(parts.caption, tick.x, width),
             DT_SINGLELINE | DT_CENTER | DT_NOCLIP);
    }
}

void PaintChart(HDC dc, const PixelRect &cell, const SourceReading &source,
                const std::deque<float> &history, bool greyed, const ViewFonts &fonts,
                const ViewPicture &picture) {
    DrawnRange scale = RangeToDraw(source, history);
    std::vector<std::string> labels;
    ChartTextSizes sizes;
    for (int i = 0; i <= scale.divisions; ++i) {
        labels.push_back(GridlineLabel(GridlineValue(scale, i)));
        sizes.labelWidth =
            std::max(sizes.labelWidth, TextWidth(dc, fonts.label, Utf8ToWide(labels.back())));
    }
    const std::string value = ValueCaption(source);
    const std::string note = Extended(scale) ? ExtendedNote(source.scaleMin, source.scaleMax) : "";
    sizes.nameHeight = LineHeight(dc, fonts.name);
    sizes.valueHeight = LineHeight(dc, fonts.value);
    sizes.labelHeight = LineHeight(dc, fonts.label);
    sizes.captionHeight = sizes.labelHeight;
    sizes.valueWidth = TextWidth(dc, fonts.value, Utf8ToWide(value));
    sizes.noteWidth = note.empty() ? 0 : TextWidth(dc, fonts.label, Utf8ToWide(note));
    ChartParts parts = LayOutChart(cell, sizes);

    const COLORREF colour = greyed ? kGreyedColour : GroupColour(source.group);
    FillWithEdge(dc, parts.card, kCardColour, kCardEdgeColour);
    Text(dc, fonts.name, greyed ? kGreyedColour : kTextColour, source.name, parts.name,
         DT_SINGLELINE | DT_END_ELLIPSIS);
    Text(dc, fonts.value, HasReading(source.value) ? colour : kGreyedColour, value, parts.value,
         DT_SINGLELINE | DT_END_ELLIPSIS);
    if (parts.noteShown) {
        Text(dc, fonts.label, kQuietTextColour, note, parts.note, DT_SINGLELINE | DT_RIGHT);
    }
    if (!parts.plotShown) {
        return;
    }
    const PixelRect &plot = parts.plot;
    std::vector<int> rows = GridlineRows(plot, scale.divisions);
    PaintExtendedBands(dc, plot, rows, scale);
    std::vector<bool> labelled = LabelledGridlines(rows, GlyphHeight(dc, fonts.label) + 1);
    const int half = sizes.labelHeight / 2;
    for (size_t i = 0; i < rows.size(); ++i) {
        HorizontalLine(dc, plot.left + 1, plot.right, rows[i], kGridColour);
        HorizontalLine(dc, parts.tickLeft, plot.left, rows[i], kAxisColour);
        if (labelled[i]) {
            Text(dc, fonts.label, kQuietTextColour, labels[i],
                 {parts.card.left, rows[i] - half, parts.labelRight,
                  rows[i] - half + sizes.labelHeight},
                 DT_SINGLELINE | DT_RIGHT | DT_NOCLIP);
        }
    }
    Fill(dc, {plot.left, plot.top, plot.left + 1, plot.bottom}, kAxisColour);
    PaintTrace(dc, TraceHistory(history, picture.capacity, scale, plot), plot, colour);
    PaintTimeAxis(dc, parts, fonts, picture);
}

} // namespace

ViewFonts CreateViewFonts() {
    ViewFonts fonts;
    fonts.name = Font(15, FW_NORMAL);
    fonts.value = Font(28, FW_BOLD);
    fonts.label = Font(12, FW_NORMAL);
    fonts.banner = Font(15, FW_NORMAL);
    return fonts;
}

void DeleteViewFonts(ViewFonts &fonts) {
    for (HFONT font : {fonts.name, fonts.value, fonts.label, fonts.banner}) {
        if (font != nullptr) {
            DeleteObject(font);
        }
    }
    fonts = ViewFonts();
}

void PaintView(HDC dc, int width, int height, const ViewFonts &fonts, const ViewPicture &picture) {
    Fill(dc, {0, 0, width, height}, kWindowColour);
    SetBkMode(dc, TRANSPARENT);
    int top = picture.banner.empty() ? 0 : PaintBanner(dc, width, fonts, picture.banner);
    const LiveViewState &state = *picture.state;
    PixelRect area{kMargin / 2, top + kMargin / 2, width - kMargin / 2, height - kMargin / 2};
    ChartGrid grid = LayOutGrid(area, state.rows.size());
    for (size_t i = 0; i < grid.cells.size(); ++i) {
        PaintChart(dc, grid.cells[i], state.rows[i], RowHistory(state, i), !state.sourcesNow, fonts,
                   picture);
    }
}
