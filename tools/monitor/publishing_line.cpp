// Each deliberate oddity is named once, under the verdict a plug-in gives it.
#include "publishing_line.h"

#include <vector>

#include "monitor_link/block_fields.h"
#include "number_text.h"

namespace {

// " (A and B on purpose: verdict)", or "" for no items.
std::string Note(const std::vector<std::string> &items, const char *verdict) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    }
    return text.empty() ? "" : " (" + text + " on purpose: " + verdict + ")";
}

} // namespace

std::string PublishingLine(const MonitorOptions &options, const SharedSensorBlock &block) {
    std::vector<std::string> rejected, accepted;
    if (options.layoutVersion != SHARED_BLOCK_VERSION) {
        rejected.push_back("layout version " + std::to_string(options.layoutVersion));
    }
    if (options.size && *options.size != SHARED_BLOCK_MIN_SIZE) {
        (*options.size < SHARED_BLOCK_MIN_SIZE ? rejected : accepted)
            .push_back("declared size " + std::to_string(*options.size) + " bytes");
    }
    if (options.counts[0]) {
        unsigned temps = block.numTemps, fans = block.numFans, extra = block.numExtra;
        bool past = CountAboveSlots(temps) || CountAboveSlots(fans) || CountAboveSlots(extra);
        (past ? rejected : accepted)
            .push_back("counts " + std::to_string(temps) + "," + std::to_string(fans) + "," +
                       std::to_string(extra));
    }
    std::vector<std::string> notLive;
    if (!options.live) {
        notLive.push_back("marked not live");
    }
    return "publishing " + Counted(block.numTemps, "temperature", "temperatures") + " and " +
           Counted(block.numFans, "fan", "fans") + " in \"" SHARED_BLOCK_NAME "\"" +
           Note(rejected, "plug-ins will reject it") + Note(notLive, "plug-ins show no readings") +
           Note(accepted, "plug-ins accept it") + "; Ctrl+C to stop";
}
