// A server started at logon is scraped at a port the monitoring server knows
// and runs until logoff or removal, so port 0 and --duration are refused.
#include "autostart_arguments.h"

std::string UnattendedServeProblem(const HostOptions &options, const std::string &who) {
    if (!options.serve) {
        return who + " needs --serve [ADDR:]PORT, the address to serve on";
    }
    if (options.listen.port == 0) {
        return who + " needs a fixed port (--serve 9876 or --serve 0.0.0.0:9876): the monitoring "
                     "server scrapes a port it knows, not one picked at each start";
    }
    if (options.durationSeconds > 0) {
        return who + " serves until logoff or 'kdhost --autostart remove', so it takes no "
                     "--duration";
    }
    return "";
}

std::vector<std::string> ServeArguments(const ListenAddress &listen,
                                        const std::string &pluginPath) {
    return {"--serve", HostAndPort(listen.host, listen.port), "--plugin", pluginPath};
}
