// The text of 'kdhost --diagnose': the finding in plain words, then the
// block's header and raw slots as they stood when copied.
#pragma once

#include <string>

#include "block_copy.h"
#include "block_diagnosis.h"

std::string DiagnosisReport(const BlockCopy &copy, const Diagnosis &diagnosis);
