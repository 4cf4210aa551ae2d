#include "ColorTable.h"

namespace parlowen {

void ColorTable::Reset() {
    slots_[PageSlot] = PageDefault;
    slots_[EntrySlot] = EntryDefault;
    for (std::size_t speaker = 0; speaker < SpeakerCount; ++speaker) {
        slots_[SpeakerSlot(speaker)] = SpeakerDefault;
    }
}

} // namespace parlowen
