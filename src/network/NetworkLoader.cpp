#include "network/NetworkLoader.h"

#include "base/NodeType.h"
#include "network/CCorvaneBeeNode.h"
#include "storage/CCorvaneODBC.h"

#include <unordered_map>
#include <unordered_set>

namespace {

constexpr int kMaxAncestorSteps = 50;

class TreeBuilder {
public:
    explicit TreeBuilder(const std::vector<NodeRow> &rows)
    {
        for (const NodeRow &row : rows)
            m_rows.emplace(row.id, &row); // the first row of an id wins
    }

    NodeTree Build(const std::vector<NodeRow> &rows)
    {
        for (const NodeRow &row : rows) {
            const int n = row.id;
            if (InTree(n))
                continue;
            for (int a = MissingAncestor(n); a != n && !InTree(a) && InTable(a); a = MissingAncestor(n))
                Insert(*m_rows.at(a));
            Insert(*m_rows.at(n));
        }
        return std::move(m_tree);
    }

private:
    bool InTree(int id) const { return m_tree.indexOfId.count(id) != 0; }
    bool InTable(int id) const { return m_rows.count(id) != 0; }

    // The topmost ancestor of n that is in the table but not yet in the tree, or n itself
    // when there is none (the father is placed or unknown, or the chain is longer than 50).
    int MissingAncestor(int n) const
    {
        int current = n;
        for (int step = 0; step < kMaxAncestorSteps; ++step) {
            const int father = m_rows.at(current)->fatherid;
            if (InTree(father) || !InTable(father) || m_rows.at(father)->fatherid == father)
                return current;
            current = father;
        }
        return n; // the steps ran out: a cycle or an overlong chain
    }

    void Insert(const NodeRow &row)
    {
        const int index = int(m_tree.entries.size());
        NodeTree::Entry entry;
        entry.row = row;
        const bool underParent = NodeType::IsRouter(row.type) || NodeType::HasChannel1(row.type);
        const auto parent = m_tree.indexOfId.find(row.fatherid);
        if (underParent && parent != m_tree.indexOfId.end()) {
            entry.parent = parent->second;
            m_tree.entries[size_t(parent->second)].children.push_back(index);
        } else {
            m_tree.roots.push_back(index);
        }
        m_tree.entries.push_back(std::move(entry));
        m_tree.indexOfId.emplace(row.id, index);
    }

    std::unordered_map<int, const NodeRow *> m_rows;
    NodeTree m_tree;
};

} // namespace

int NodeTree::IndexOf(int id) const
{
    const auto it = indexOfId.find(id);
    return it == indexOfId.end() ? -1 : it->second;
}

std::vector<int> NodeTree::PreOrder() const
{
    std::vector<int> order;
    order.reserve(entries.size());
    std::vector<int> stack(roots.rbegin(), roots.rend());
    while (!stack.empty()) {
        const int index = stack.back();
        stack.pop_back();
        order.push_back(index);
        const auto &children = entries[size_t(index)].children;
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return order;
}

NodeTree BuildNodeTree(const std::vector<NodeRow> &rows)
{
    return TreeBuilder(rows).Build(rows);
}

std::vector<NodeRow> ReadNodeRows(CCorvaneODBC &database)
{
    return database.ReadNodes();
}

quint32 BindMaskFromRow(const NodeRow &row)
{
    quint32 mask = 0;
    for (int k = 0; k < NodeRow::kBindSlots; ++k) {
        if (row.gprs_bind[size_t(k)] == QLatin1String("OK"))
            mask |= 1u << k;
    }
    return mask;
}

NodeTree LoadNetworkTable(CCorvaneODBC &database, CCorvaneBeeNode &table)
{
    NodeTree tree = BuildNodeTree(ReadNodeRows(database));

    std::unordered_set<int> inTree;
    for (const NodeTree::Entry &entry : tree.entries)
        inTree.insert(entry.row.id);
    table.MoveFirst();
    while (!table.IsEOF()) {
        const int id = table.GetCurrentId();
        if (inTree.count(id))
            table.MoveNext();
        else
            table.RemoveNode(id); // moves the cursor on
    }

    qint32 order = 0;
    for (const int index : tree.PreOrder()) {
        const NodeRow &row = tree.entries[size_t(index)].row;
        table.AddNode(row.id);
        table.SetFatherId(row.id, quint32(row.fatherid));
        table.SetType(row.id, row.type);
        table.SetTreeOrder(row.id, order++);
        table.SetGprsBindMask(row.id, BindMaskFromRow(row));
    }
    return tree;
}
