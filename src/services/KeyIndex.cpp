#include "services/KeyIndex.h"

#include "services/TreeNode.h"

#include <QHash>

namespace {

// At most half full, so a probe seldom goes past a few neighbours.
constexpr size_t kMinimumCapacity = 64;

size_t capacityFor(size_t keys) {
    size_t capacity = kMinimumCapacity;
    while (capacity < keys * 2)
        capacity *= 2;
    return capacity;
}

} // namespace

size_t KeyIndex::Hash(QStringView key) {
    return qHash(key, 0);
}

TreeNode* KeyIndex::Find(QStringView key, size_t hash) const {
    if (m_slots.empty())
        return nullptr;
    for (size_t i = hash & mask();; i = (i + 1) & mask()) {
        const Slot& slot = m_slots[i];
        if (!slot.node)
            return nullptr;
        if (slot.hash == hash && QStringView(slot.node->Key()) == key)
            return slot.node;
    }
}

void KeyIndex::Insert(TreeNode* node, size_t hash) {
    if ((m_size + 1) * 2 > m_slots.size())
        grow(capacityFor(m_size + 1));
    size_t i = hash & mask();
    while (m_slots[i].node)
        i = (i + 1) & mask();
    m_slots[i] = Slot{hash, node};
    ++m_size;
}

TreeNode* KeyIndex::FindPlace(QStringView key, size_t hash, size_t& place) {
    if ((m_size + 1) * 2 > m_slots.size())
        grow(capacityFor(m_size + 1));
    for (size_t i = hash & mask();; i = (i + 1) & mask()) {
        const Slot& slot = m_slots[i];
        if (!slot.node) {
            place = i;
            return nullptr;
        }
        if (slot.hash == hash && QStringView(slot.node->Key()) == key)
            return slot.node;
    }
}

void KeyIndex::Prefetch(size_t hash) const {
#if defined(__GNUC__)
    if (!m_slots.empty())
        __builtin_prefetch(&m_slots[hash & mask()]);
#else
    (void)hash;
#endif
}

void KeyIndex::InsertAt(size_t place, TreeNode* node, size_t hash) {
    m_slots[place] = Slot{hash, node};
    ++m_size;
}

void KeyIndex::Erase(const TreeNode* node) {
    if (m_slots.empty() || !node)
        return;
    const size_t hash = Hash(node->Key());
    size_t i = hash & mask();
    while (m_slots[i].node != node) {
        if (!m_slots[i].node)
            return;
        i = (i + 1) & mask();
    }
    // Shifts later members of the probe run back into the gap, so no look-up stops short at it.
    size_t gap = i;
    for (size_t j = (i + 1) & mask(); m_slots[j].node; j = (j + 1) & mask()) {
        const size_t home = m_slots[j].hash & mask();
        // The member at j may fill the gap when its home does not lie cyclically in (gap, j].
        const bool homeAfterGap = gap <= j ? (home > gap && home <= j) : (home > gap || home <= j);
        if (!homeAfterGap) {
            m_slots[gap] = m_slots[j];
            gap = j;
        }
    }
    m_slots[gap] = Slot{};
    --m_size;
}

void KeyIndex::Clear() {
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_size = 0;
}

void KeyIndex::Reserve(size_t keys) {
    if (keys * 2 > m_slots.size())
        grow(capacityFor(keys));
}

void KeyIndex::grow(size_t capacity) {
    std::vector<Slot> old;
    old.swap(m_slots);
    m_slots.assign(capacity, Slot{});
    for (const Slot& slot : old) {
        if (!slot.node)
            continue;
        size_t i = slot.hash & mask();
        while (m_slots[i].node)
            i = (i + 1) & mask();
        m_slots[i] = slot;
    }
}
