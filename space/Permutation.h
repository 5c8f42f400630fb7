// Permutation: rearranging a list in place by a permutation of its indices.
// Depends on: nothing.
#pragma once

#include <cstddef> // size_t
#include <cstdint> // int32_t
#include <vector>

// Rearranges the items in place so that item i becomes the one that was at order[i] (order is a permutation of
// the items' indices): each cycle of the permutation is followed once, one item held aside. A large list is then
// rearranged without a second copy of it.
template <typename Item>
void PutInOrder(std::vector<Item>& items, const std::vector<int32_t>& order)
{
    std::vector<bool> placed(items.size(), false);
    for (size_t start = 0; start < items.size(); ++start) {
        if (placed[start]) {
            continue;
        }
        const Item held = items[start];
        size_t to = start;
        for (;;) {
            placed[to] = true;
            const size_t from = static_cast<size_t>(order[to]);
            if (from == start) {
                items[to] = held;
                break;
            }
            items[to] = items[from];
            to = from;
        }
    }
}
