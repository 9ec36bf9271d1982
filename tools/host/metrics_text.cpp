// Families follow the kernel-sensor exporters' naming (_celsius, _rpm). A
// source without a reading has no sample, only its kelvodyn_source_info row;
// a temperature whose unit is neither degrees Celsius nor Fahrenheit gets no
// temperature sample rather than a wrong unit. The unit is told by its letter:
// the degree sign (ANSI 0xB0) that made it a temperature is another character
// in some code pages.
#include "metrics_text.h"

#include <cmath>

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

// The reading family a source belongs to, or nullptr when it has none.
Family *ReadingFamily(const SourceReading &s, Family &celsius, Family &fahrenheit, Family &rpm) {
    if (s.group == SourceGroup::Fan) {
        return &rpm;
    }
    if (s.group != SourceGroup::Temperature || s.units.empty()) {
        return nullptr;
    }
    switch (s.units.back()) {
    case 'C':
        return &celsius;
    case 'F':
        return &fahrenheit;
    default:
        return nullptr;
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

std::string MetricsText(const Snapshot &snapshot, const std::string &finding) {
    Family up{"kelvodyn_up",
              "1 when the plug-in gives at least one source, else 0; finding says what the "
              "shared block shows (live, no-block, not-publishing, window-gone, ...).",
              ""};
    Family sources{"kelvodyn_sources", "How many sources the plug-in reports (GetSourcesNum).", ""};
    Family info{"kelvodyn_source_info",
                "One row per source the plug-in offers, with or without a reading: its group, "
                "name, unit and display scale.",
                ""};
    Family celsius{"kelvodyn_temperature_celsius", "Temperature in degrees Celsius.", ""};
    Family fahrenheit{"kelvodyn_temperature_fahrenheit",
                      "Temperature in degrees Fahrenheit, as the monitor publishes it when the "
                      "plug-in is set to Fahrenheit.",
                      ""};
    Family rpm{"kelvodyn_fan_rpm", "Fan speed in revolutions per minute.", ""};

    up.samples = Sample(up.name, Label("finding", finding), snapshot.sources.empty() ? "0" : "1");
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
        Family *family = ReadingFamily(s, celsius, fahrenheit, rpm);
        if (family != nullptr && HasReading(s.value) && std::isfinite(s.value)) {
            family->samples += Sample(family->name, index + "," + name, ReadingNumber(s));
        }
    }
    std::string text;
    for (const Family *family : {&up, &sources, &info, &celsius, &fahrenheit, &rpm}) {
        // A family without samples is left out, as client libraries do.
        if (!family->samples.empty()) {
            text += std::string("# HELP ") + family->name + " " + family->help + "\n";
            text += std::string("# TYPE ") + family->name + " gauge\n";
            text += family->samples;
        }
    }
    return text;
}
