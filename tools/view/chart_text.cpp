// Text for kdview's charts and title, built on the tools' shared number text.
#include "chart_text.h"

#include "number_text.h"

std::string WindowTitle(size_t sources) {
    return "KelvoDyn: " + std::to_string(sources) + (sources == 1 ? " source" : " sources");
}

std::string GridlineLabel(double value) {
    // -0.0 from a scale below zero reads as 0.
    return ResolutionText(float(value == 0 ? 0.0 : value), 2);
}

std::string TimeLabel(double seconds, double step) {
    if (seconds <= 0) {
        return "now";
    }
    if (step < 60) {
        return "-" + ResolutionText(float(seconds), 1) + " s";
    }
    if (step < 3600) {
        return "-" + ResolutionText(float(seconds / 60), 1) + " min";
    }
    return "-" + ResolutionText(float(seconds / 3600), 1) + " h";
}

std::string ExtendedNote(float scaleMin, float scaleMax) {
    return "scale " + GridlineLabel(scaleMin) + "\u2013" + GridlineLabel(scaleMax) + " extended";
}

std::string ValueCaption(const SourceReading &source) {
    std::string value = ValueText(source);
    return HasReading(source.value) && !source.units.empty() ? value + " " + source.units : value;
}
