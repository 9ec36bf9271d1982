// Everything that comes from the plug-in or the settings file (names, units,
// the path) is escaped; the page reloads itself every few seconds.
#include "status_page.h"

#include "source_table.h"

std::string HtmlEscaped(const std::string &utf8) {
    std::string out;
    for (char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string StatusPage(const ServedState &state, const std::string &pluginPath) {
    const Snapshot &snapshot = state.snapshot;
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta http-equiv=\"refresh\" content=\"5\">\n"
                       "<title>KelvoDyn sources</title>\n</head>\n<body>\n"
                       "<h1>KelvoDyn sources</h1>\n"
                       "<p><a href=\"/metrics\">/metrics</a>: Prometheus text format. "
                       "<a href=\"/data.json\">/data.json</a>: the same as "
                       "<code>kdhost --json</code>.</p>\n";
    page += "<p>" + HtmlEscaped(pluginPath) + " at " + HtmlEscaped(snapshot.time) + ": " +
            std::to_string(snapshot.reported) + " sources reported. " +
            HtmlEscaped(state.findingSentence) + "</p>\n";
    if (!snapshot.sources.empty()) {
        page += "<pre>\n";
        for (const std::string &line : SourceTableLines(snapshot.sources, {})) {
            page += HtmlEscaped(line) + "\n";
        }
        page += "</pre>\n";
    }
    return page + "</body>\n</html>\n";
}
