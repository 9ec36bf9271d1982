// What kdhost --serve answers: /metrics, /data.json and /, for GET and HEAD;
// every other method and path gets an error that names what is offered.
#pragma once

#include <string>

#include "http_request.h"
#include "http_response.h"
#include "served_snapshot.h"

HttpResponse Route(const HttpRequest &request, SharedSnapshot &snapshots,
                   const std::string &pluginPath);
