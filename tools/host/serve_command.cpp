// Ties the server to the plug-in: one SharedSnapshot for every request, and
// the main thread waiting for Ctrl+C or the end of the duration.
#include "serve_command.h"

#include "deadline.h"
#include "exit_codes.h"
#include "tool_messages.h"
#include "http_server.h"
#include "machine_name.h"
#include "serve_instance.h"
#include "serve_routes.h"
#include "served_snapshot.h"
#include "served_state.h"
#include "stop_signal.h"

int RunServe(const LoadedPlugin &plugin, const ServeSettings &settings, const TextStream &out,
             std::string &error) {
    ServedStateSource source(plugin);
    SharedSnapshot snapshots([&source] { return source.Take(); });
    HttpServer server;
    auto handler = [&](const HttpRequest &request) {
        return Route(request, snapshots, plugin.path);
    };
    switch (server.Start(settings.address, ServerLimits{}, handler, error)) {
    case HttpServer::Outcome::Listening:
        break;
    case HttpServer::Outcome::AddressInUse:
        return kExitAddressInUse;
    case HttpServer::Outcome::AddressUnusable:
        return kExitAddressUnusable;
    }
    // Named by this process, so the program that started it (kdserve) can stop it cleanly.
    StopSignal stop(ServeStopEventName(GetCurrentProcessId()).c_str());
    WriteText(out, ServeStartText(settings.address, server.port(), MachineName(),
                                  settings.durationSeconds > 0));
    WaitForEventUntil(stop.event(), DeadlineAfterSeconds(settings.durationSeconds));
    server.Stop();
    const auto answered = server.answered();
    Say("stopped after answering " + std::to_string(answered) +
        (answered == 1 ? " request" : " requests"));
    return kExitOk;
}
