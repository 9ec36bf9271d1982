// kdmonitor's start line: what it publishes, and what about the block is
// malformed or not live on purpose, with what plug-ins will make of it.
#pragma once

#include <string>

#include "monitor_link/shared_sensor_block.h"
#include "monitor_options.h"

// "publishing 2 temperatures and 3 fans in "KDSharedMemory_RUD" (layout
// version 2 on purpose: plug-ins will reject it); Ctrl+C to stop".
std::string PublishingLine(const MonitorOptions &options, const SharedSensorBlock &block);
