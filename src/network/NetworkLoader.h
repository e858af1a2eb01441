#pragma once

#include "storage/CCorvaneNetMger.h"

#include <unordered_map>
#include <vector>

class CCorvaneODBC;
class CCorvaneBeeNode;

// The network as a tree of node-table rows: the receiver and nodes of other types at the top,
// routers and loggers under the node named by their fatherid (at the top when that node is not
// in the tree).
struct NodeTree {
    struct Entry {
        NodeRow row;
        int parent = -1; // index into entries, -1 at the top level
        std::vector<int> children;
    };
    std::vector<Entry> entries; // in the order they were inserted
    std::vector<int> roots;
    std::unordered_map<int, int> indexOfId; // node id -> entry index

    // Index of the entry of a node id, -1 when absent.
    [[nodiscard]] int IndexOf(int id) const;
    // Entry indices in depth-first order: an item, its children, then its next sibling.
    [[nodiscard]] std::vector<int> PreOrder() const;
};

// Builds the tree from the rows in table order. Each node is inserted after its missing
// ancestors (followed up by fatherid, at most 50 steps), so that a node lands under its
// parent whenever the parent is in the table; a parent that is missing puts it at the top.
[[nodiscard]] NodeTree BuildNodeTree(const std::vector<NodeRow> &rows);

// All rows of the node table in id order, read at once through the iteration cursor.
[[nodiscard]] std::vector<NodeRow> ReadNodeRows(CCorvaneODBC &database);

// Binding mask of a row: bit k-1 for each column gprs_bindk holding exactly "OK".
[[nodiscard]] quint32 BindMaskFromRow(const NodeRow &row);

// Brings the network table into line with the node table: removes items whose node is not in
// the tree, adds the missing ones, and sets father id, type, tree order and binding mask of
// every item in depth-first order. Returns the tree for whoever shows it.
NodeTree LoadNetworkTable(CCorvaneODBC &database, CCorvaneBeeNode &table);
