#pragma once

#include <QString>
#include <memory>
#include <optional>

// What a tree node stands for, so that no code has to read a node's text or key to find out. The same
// node kinds serve both maintenance editors; the tag the editors compare ("0" to "4") is kept apart.
enum class NodeKind {
    Other,
    Root,
    ChartOfAccount, // chart of account, or business level in the business-level trees
    Level,
    CodCat,             // code, multiplier or category
    RangeAccount,       // range of accounts, business units or business areas
    ChildCode,          // child code under a parent code
    MultiCategoryLevel, // level under a multiplier or category (code maintenance of types 1 and 2)
    MultiCategoryCode,  // code under such a level
    ChildLevelCode,     // child level and code under a parent code (code maintenance of types 3 to 5)
    Notice,             // a keyless line of text such as "There is no item at this range"
};

// The key of the warehouse row (or rows) a node stands for, each value exactly as stored there, blanks
// included. The fields are those of NodeInfo; one that does not apply to the node's kind stays empty.
struct NodeRowKey {
    QString account;
    QString level{};
    QString code{};
    QString fromAccount{};
    QString toAccount{};
    QString multiCategory{};
    QString childLevel{};
    QString childCode{};

    bool operator==(const NodeRowKey&) const = default;
};

// The kind of a node and the values it was built from, exactly as they were passed (trailing blanks
// included). A field that does not apply to the kind stays empty.
struct NodeInfo {
    NodeKind kind = NodeKind::Other;
    QString root;
    QString account;
    QString level;
    QString code; // the code, multiplier or category; the parent code of a child
    QString fromAccount;
    QString toAccount;
    QString multiCategory;
    QString childLevel;
    QString childCode;
    QString description; // of the account, code or child, as shown after ":"

    // What addresses the node's rows: its stored key, else the values above.
    NodeRowKey StoredKey() const { return stored ? *stored : ShownKey(); }
    // Keeps `key` as the node's stored key where it differs from the values above (a row another program
    // wrote padded); set the values first. Where the key is stored as shown, nothing is kept.
    void SetStored(const std::optional<NodeRowKey>& key) {
        if (key && *key != ShownKey())
            stored = std::make_shared<const NodeRowKey>(*key);
        else
            stored.reset();
    }
    bool HasOwnStoredKey() const { return bool(stored); }

private:
    // Out of line and shared by copies, so the common node, whose key is stored as shown, pays only an
    // empty shared pointer (two machine words) for it, not eight strings; a million ranges are a million
    // nodes.
    std::shared_ptr<const NodeRowKey> stored;

    NodeRowKey ShownKey() const {
        return {account, level, code, fromAccount, toAccount, multiCategory, childLevel, childCode};
    }
};
