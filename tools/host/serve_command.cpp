// Ties the server to the plug-in: one SharedSnapshot for every request, and
// the main thread waiting for Ctrl+C or the end of the duration.
#include "serve_command.h"

#include "host_options.h"
#include "http_server.h"
#include "serve_routes.h"
#include "shared_snapshot.h"

namespace {

HANDLE g_stopServing = nullptr;

BOOL WINAPI OnConsoleControl(DWORD) {
    SetEvent(g_stopServing);
    return TRUE;
}

} // namespace

int RunServe(const LoadedPlugin &plugin, const ServeSettings &settings, const TextStream &out,
             std::string &error) {
    SharedSnapshot snapshots([&plugin] { return TakeServedState(plugin); });
    HttpServer server;
    auto handler = [&](const HttpRequest &request) {
        return Route(request, snapshots, plugin.path);
    };
    if (!server.Start(settings.address, ServerLimits{}, handler, error)) {
        return kExitBadRequest;
    }
    g_stopServing = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    std::string until =
        settings.durationSeconds > 0 ? "; stops after the duration or Ctrl+C" : "; Ctrl+C stops";
    WriteText(out, "kdhost: serving " + ListenUrl(settings.address.host, server.port()) +
                       " (metrics at /metrics, JSON at /data.json)" + until + "\n");
    DWORD wait = settings.durationSeconds > 0 ? DWORD(settings.durationSeconds * 1000.0) : INFINITE;
    WaitForSingleObject(g_stopServing, wait);
    server.Stop();
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    CloseHandle(g_stopServing);
    WriteText(out, "kdhost: stopped after answering " + std::to_string(server.answered()) +
                       " requests\n");
    return kExitSources;
}
