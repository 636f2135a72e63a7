#pragma once

#include <algorithm>
#include <cstddef>
#include <map>
#include <memory>
#include <numeric>
#include <vector>

// The framework's containers. Vector and Map hold values; VectorEx owns the objects it holds and
// deletes them with itself.
template <class T>
using Vector = std::vector<T>;
template <class K, class V>
using Map = std::map<K, V>;

template <class T>
class VectorEx {
public:
    VectorEx() = default;
    VectorEx(const VectorEx&) = delete;
    VectorEx& operator=(const VectorEx&) = delete;
    VectorEx(VectorEx&&) noexcept = default;
    VectorEx& operator=(VectorEx&&) noexcept = default;

    int count() const { return static_cast<int>(items_.size()); }
    bool isEmpty() const { return items_.empty(); }
    T* at(int i) const { return i >= 0 && i < count() ? items_[std::size_t(i)].get() : nullptr; }
    int indexOf(const T* item) const
    {
        for (int i = 0; i < count(); ++i)
            if (items_[std::size_t(i)].get() == item) return i;
        return -1;
    }
    // Takes ownership; a position outside the list appends.
    T* insert(int i, std::unique_ptr<T> item)
    {
        T* raw = item.get();
        if (i < 0 || i > count()) i = count();
        items_.insert(items_.begin() + i, std::move(item));
        return raw;
    }
    T* append(std::unique_ptr<T> item) { return insert(count(), std::move(item)); }
    // Gives the object back to the caller; null outside the list.
    std::unique_ptr<T> take(int i)
    {
        if (!at(i)) return nullptr;
        std::unique_ptr<T> item = std::move(items_[std::size_t(i)]);
        items_.erase(items_.begin() + i);
        return item;
    }
    void remove(int i) { take(i); }
    void clear() { items_.clear(); }

    // With tracking on, a reorder reports whether any object changed its position; with it off,
    // every reorder counts as a change, for callers that must renumber regardless.
    void setTracking(bool on) { tracking_ = on; }
    bool isTracking() const { return tracking_; }

    // Puts the objects in the order of their old positions in `order`, a permutation; answers
    // false and changes nothing for anything else.
    bool reorder(const std::vector<int>& order, bool* changed = nullptr)
    {
        if (int(order.size()) != count()) return false;
        std::vector<bool> seen(order.size(), false);
        for (int i : order) {
            if (i < 0 || i >= count() || seen[std::size_t(i)]) return false;
            seen[std::size_t(i)] = true;
        }
        std::vector<std::unique_ptr<T>> reordered;
        reordered.reserve(order.size());
        bool moved = false;
        for (std::size_t i = 0; i < order.size(); ++i) {
            moved = moved || order[i] != int(i);
            reordered.push_back(std::move(items_[std::size_t(order[i])]));
        }
        items_ = std::move(reordered);
        if (changed) *changed = tracking_ ? moved : true;
        return true;
    }
    // A stable sort; answers whether it counts as a change (see setTracking).
    template <class Less>
    bool sort(Less less)
    {
        std::vector<int> order(items_.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return less(*items_[std::size_t(a)], *items_[std::size_t(b)]);
        });
        bool changed = false;
        reorder(order, &changed);
        return changed;
    }
    // Moves one object; answers whether it counts as a change.
    bool move(int from, int to)
    {
        if (!at(from) || to < 0 || to >= count()) return false;
        std::unique_ptr<T> item = take(from);
        insert(to, std::move(item));
        return tracking_ ? from != to : true;
    }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::unique_ptr<T>> items_;
    bool tracking_ = false;
};
