// The simulated monitor's readings: the values given on the command line,
// fixed or drifting.
#pragma once

#include "monitor_options.h"
#include "published_readings.h"

// The --temps and --fans values; with --animate, drifted for the time since the start.
Readings SimulatedReadings(const MonitorOptions &options, double secondsSinceStart);
