// The method is checked first: no path here accepts anything but GET and HEAD.
// Each answer comes from a fresh (possibly shared) snapshot.
#include "serve_routes.h"

#include "block_diagnosis.h"
#include "snapshot_json_csv.h"
#include "metrics_text.h"
#include "status_page.h"

HttpResponse Route(const HttpRequest &request, SharedSnapshot &snapshots,
                   const std::string &pluginPath) {
    if (request.method != "GET" && request.method != "HEAD") {
        HttpResponse response = ErrorResponse(405, "only GET and HEAD are answered here");
        response.headers.push_back({"Allow", "GET, HEAD"});
        return response;
    }
    HttpResponse response;
    if (request.path == "/metrics") {
        auto state = snapshots.Fresh();
        response.contentType = kMetricsContentType;
        response.body = MetricsText(state->snapshot, state->finding);
    } else if (request.path == "/data.json") {
        auto state = snapshots.Fresh();
        response.contentType = "application/json";
        response.body = SnapshotJson(state->snapshot, pluginPath);
    } else if (request.path == "/") {
        auto state = snapshots.Fresh();
        response.contentType = "text/html; charset=utf-8";
        response.body = StatusPage(*state, pluginPath);
    } else {
        response = ErrorResponse(404, "no such page; try /metrics, /data.json or /");
    }
    return response;
}
