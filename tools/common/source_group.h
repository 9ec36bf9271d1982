// Which group a source belongs to and the word the tools write for it, in
// tables, JSON, CSV and metrics alike. Portable: no platform header.
#pragma once

enum class SourceGroup { Temperature, Fan, Other };

// "temperature", "fan" or "other".
const char *GroupName(SourceGroup group);
