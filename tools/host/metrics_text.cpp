// Families follow the kernel-sensor exporters' naming: base units only
// (_celsius, _rpm), so a reading the plug-in gives in degrees Fahrenheit is
// converted and keeps its source unit in a label. A source without a reading
// has no sample, only its kelvodyn_source_info row; a temperature whose unit
// is neither Celsius nor Fahrenheit gets no temperature sample rather than a
// wrong one. The unit is told by its letter: the degree sign (ANSI 0xB0) that
// made it a temperature is another character in some code pages. What changes
// (the finding) is a sample's value, never a label of kelvodyn_up, so alerts
// and graphs keep one series across changes.
#include "metrics_text.h"

#include <cmath>

#include "module_header.h"
#include "number_text.h"

namespace {

struct Family {
    const char *name;
    const char *help;
    std::string samples; // "name{labels} value\n" lines
};

std::string Label(const char *name, const std::string &value) {
    return std::string(name) + "=\"" + LabelValue(value) + "\"";
}

std::string Sample(const char *family, const std::string &labels, const std::string &value) {
    return std::string(family) + (labels.empty() ? "" : "{" + labels + "}") + " " + value + "\n";
}

// The temperature sample's value and extra labels, or false when it has none.
bool CelsiusSample(const SourceReading &s, std::string &value, std::string &labels) {
    if (s.group != SourceGroup::Temperature || s.units.empty()) {
        return false;
    }
    switch (s.units.back()) {
    case 'C':
        value = ReadingNumber(s);
        return true;
    case 'F':
        value = CelsiusFromFahrenheit(s.value);
        labels = "," + Label("source_unit", s.units);
        return true;
    default:
        return false;
    }
}

} // namespace

std::string LabelValue(const std::string &utf8) {
    std::string out;
    for (char c : utf8) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string CelsiusFromFahrenheit(float fahrenheit) {
    return ResolutionText(float((double(fahrenheit) - 32) * 5 / 9), 2);
}

std::string MetricsText(const Snapshot &snapshot, Finding finding) {
    Family buildInfo{"kelvodyn_build_info",
                     "Always 1: the version of kdhost (and of the plug-in it ships with) and its "
                     "bitness.",
                     ""};
    Family up{"kelvodyn_up", "1 when the plug-in gives at least one source, else 0.", ""};
    Family findings{"kelvodyn_finding",
                    "1 for what the shared block shows now (the word kdhost --diagnose prints), "
                    "0 for every other finding.",
                    ""};
    Family sources{"kelvodyn_sources", "How many sources the plug-in reports (GetSourcesNum).", ""};
    Family info{"kelvodyn_source_info",
                "One row per source the plug-in offers, with or without a reading: its group, "
                "name, unit and display scale.",
                ""};
    Family celsius{"kelvodyn_temperature_celsius",
                   "Temperature in degrees Celsius; source_unit names the unit the plug-in gave "
                   "when it was converted.",
                   ""};
    Family rpm{"kelvodyn_fan_rpm", "Fan speed in revolutions per minute.", ""};

    buildInfo.samples = Sample(buildInfo.name,
                               Label("version", KD_PROJECT_VERSION) + "," +
                                   Label("bits", std::to_string(HostBits())),
                               "1");
    up.samples = Sample(up.name, "", snapshot.sources.empty() ? "0" : "1");
    for (int f = 0; f < kFindingCount; ++f) {
        findings.samples += Sample(findings.name, Label("finding", FindingName(Finding(f))),
                                   Finding(f) == finding ? "1" : "0");
    }
    sources.samples = Sample(sources.name, "", std::to_string(snapshot.reported));
    for (const SourceReading &s : snapshot.sources) {
        const std::string index = Label("index", std::to_string(s.index));
        const std::string name = Label("name", s.name);
        info.samples += Sample(info.name,
                               index + "," + Label("group", GroupName(s.group)) + "," + name + "," +
                                   Label("unit", s.units) + "," +
                                   Label("scale_min", ShortestFloat(s.scaleMin)) + "," +
                                   Label("scale_max", ShortestFloat(s.scaleMax)) + "," +
                                   Label("scale_divisions", ShortestFloat(s.scaleDivisions)),
                               "1");
        if (!HasReading(s.value) || !std::isfinite(s.value)) {
            continue;
        }
        std::string value, labels;
        if (s.group == SourceGroup::Fan) {
            rpm.samples += Sample(rpm.name, index + "," + name, ReadingNumber(s));
        } else if (CelsiusSample(s, value, labels)) {
            celsius.samples += Sample(celsius.name, index + "," + name + labels, value);
        }
    }
    std::string text;
    for (const Family *family : {&buildInfo, &up, &findings, &sources, &info, &celsius, &rpm}) {
        // A family without samples is left out, as client libraries do.
        if (!family->samples.empty()) {
            text += std::string("# HELP ") + family->name + " " + family->help + "\n";
            text += std::string("# TYPE ") + family->name + " gauge\n";
            text += family->samples;
        }
    }
    return text;
}
