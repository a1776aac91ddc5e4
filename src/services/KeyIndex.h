#pragma once

#include <QStringView>
#include <vector>

class TreeNode;

// The nodes of one tree by key: an open-addressed hash table of (hash, node) pairs whose keys stay in
// the nodes themselves. A look-up reads the key text only when the hash matches, and takes a view of
// the key, so a caller can look up a key it builds in a reused buffer without making a string of it.
class KeyIndex {
public:
    static size_t Hash(QStringView key);

    TreeNode* Find(QStringView key) const { return Find(key, Hash(key)); }
    TreeNode* Find(QStringView key, size_t hash) const;
    // Indexes the node under its key, whose hash is given; the key must not be held yet.
    void Insert(TreeNode* node, size_t hash);
    // The place where a key not held yet will go, found in the same probe that tests it: nullptr with
    // `place` set when the key is free, else the node holding it. Valid until the index next changes.
    TreeNode* FindPlace(QStringView key, size_t hash, size_t& place);
    void InsertAt(size_t place, TreeNode* node, size_t hash);
    // Starts fetching the memory a look-up of that hash will read first.
    void Prefetch(size_t hash) const;
    // Drops the node from the index when it is the one indexed under its key.
    void Erase(const TreeNode* node);
    void Clear();
    // Makes room for that many keys in all.
    void Reserve(size_t keys);
    size_t Size() const { return m_size; }

private:
    struct Slot {
        size_t hash = 0;
        TreeNode* node = nullptr;
    };

    size_t mask() const { return m_slots.size() - 1; }
    void grow(size_t capacity);

    std::vector<Slot> m_slots;
    size_t m_size = 0;
};
