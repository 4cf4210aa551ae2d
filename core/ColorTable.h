#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace parlowen {

// The twelve colours of the page, as colour texts: slot 0 the page, slot 1 the entry/exit lines, slot 2 + i
// speaker i. Empty until the first load.
class ColorTable {
  public:
    static constexpr std::size_t SlotCount = 12;
    static constexpr std::size_t PageSlot = 0;
    static constexpr std::size_t EntrySlot = 1;
    static constexpr std::size_t SpeakerCount = 10;
    static constexpr std::size_t SpeakerSlot(std::size_t speaker) { return 2 + speaker; }

    static constexpr char16_t PageDefault[] = u"255,255,255";
    static constexpr char16_t EntryDefault[] = u"00,00,00";
    static constexpr char16_t SpeakerDefault[] = u"0,0,0";

    const std::u16string& Get(std::size_t slot) const { return slots_.at(slot); }
    void Set(std::size_t slot, std::u16string text) { slots_.at(slot) = std::move(text); }
    void Reset();

  private:
    std::array<std::u16string, SlotCount> slots_;
};

} // namespace parlowen
