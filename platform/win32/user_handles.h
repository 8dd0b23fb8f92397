// Handle tables of the window system: every HWND, HMENU, HHOOK, HICON, HBITMAP
// and HDC is an index plus a generation, so a stale or made-up handle is
// recognised and never reaches memory outside the table.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace plat::user {

// Value layout: bits 28-30 the table's tag, bits 16-27 the slot's generation
// (never 0), bits 0-15 the slot index plus 0x10. Fits in 32 bits like Windows handles.
template <class T>
class HandleTable {
  public:
    explicit HandleTable(unsigned tag) : m_tag(tag) {}

    // Stores the object; 0 when the table is full.
    uintptr_t Add(std::unique_ptr<T> object) {
        uint32_t index;
        // Freed slots wait a while before reuse, so a stale handle stays stale.
        if (!m_free.empty() && (m_free.size() > 64 || m_slots.size() >= kMaxSlots)) {
            index = m_free.front();
            m_free.pop_front();
        } else if (m_slots.size() < kMaxSlots) {
            index = static_cast<uint32_t>(m_slots.size());
            m_slots.emplace_back();
        } else {
            return 0;
        }
        Slot& slot = m_slots[index];
        slot.generation = static_cast<uint16_t>((slot.generation % 0xFFF) + 1);
        slot.object = std::move(object);
        return Encode(index, slot.generation);
    }

    T* Get(uintptr_t value) const {
        uint32_t index;
        if (!Decode(value, index)) return nullptr;
        return m_slots[index].object.get();
    }

    // Takes the object out; the handle becomes stale.
    std::unique_ptr<T> Remove(uintptr_t value) {
        uint32_t index;
        if (!Decode(value, index)) return nullptr;
        m_free.push_back(index);
        return std::move(m_slots[index].object);
    }

    // Handles of every live object, oldest slot first.
    std::vector<uintptr_t> All() const {
        std::vector<uintptr_t> out;
        for (uint32_t i = 0; i < m_slots.size(); ++i)
            if (m_slots[i].object) out.push_back(Encode(i, m_slots[i].generation));
        return out;
    }

    void Clear() {
        for (uint32_t i = 0; i < m_slots.size(); ++i) {
            if (m_slots[i].object) {
                m_slots[i].object.reset();
                m_free.push_back(i);
            }
        }
    }

  private:
    static constexpr uint32_t kMaxSlots = 0xFFF0;
    struct Slot {
        std::unique_ptr<T> object;
        uint16_t generation = 0;
    };

    uintptr_t Encode(uint32_t index, uint16_t generation) const {
        return (uintptr_t(m_tag) << 28) | (uintptr_t(generation) << 16) | uintptr_t(index + 0x10);
    }
    bool Decode(uintptr_t value, uint32_t& index) const {
        if ((value >> 28) != m_tag) return false;
        uint32_t low = value & 0xFFFF;
        if (low < 0x10) return false;
        index = low - 0x10;
        if (index >= m_slots.size()) return false;
        const Slot& slot = m_slots[index];
        return slot.object && slot.generation == ((value >> 16) & 0xFFF);
    }

    unsigned m_tag;
    std::vector<Slot> m_slots;
    std::deque<uint32_t> m_free;
};

}  // namespace plat::user
