// Text for kdview's charts and title, built on the tools' shared number text.
#include "chart_text.h"

#include <cmath>

#include "number_text.h"

std::string WindowTitle(size_t sources) {
    return "KelvoDyn: " + std::to_string(sources) + (sources == 1 ? " source" : " sources");
}

std::string GridlineLabel(double value) {
    // -0.0 from a scale below zero reads as 0.
    return ResolutionText(float(value == 0 ? 0.0 : value), 2);
}

std::string SpanCaption(size_t samples, unsigned intervalMs) {
    double seconds = double(samples) * intervalMs / 1000.0;
    long whole = std::lround(seconds);
    if (whole < 180) {
        return "last " +
               (seconds < 10 ? ResolutionText(float(seconds), 1) : std::to_string(whole)) + " s";
    }
    long minutes = whole / 60, rest = whole % 60;
    if (minutes >= 10 || rest == 0) {
        return "last " + std::to_string(std::lround(seconds / 60)) + " min";
    }
    return "last " + std::to_string(minutes) + " min " + std::to_string(rest) + " s";
}

std::string ValueCaption(const SourceReading &source) {
    std::string value = ValueText(source);
    return HasReading(source.value) && !source.units.empty() ? value + " " + source.units : value;
}
