// The words for the source groups.
#include "source_group.h"

const char *GroupName(SourceGroup group) {
    switch (group) {
    case SourceGroup::Temperature:
        return "temperature";
    case SourceGroup::Fan:
        return "fan";
    default:
        return "other";
    }
}
