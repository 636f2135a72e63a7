#include "zaltor/Containers.h"

#include <gtest/gtest.h>
#include <string>

namespace {
// Counts its destructions, to prove the list owns what it holds.
struct Item {
    std::string name;
    int* deaths = nullptr;
    ~Item() { deaths && ++*deaths; }
};

std::string names(const VectorEx<Item>& items)
{
    std::string out;
    for (const auto& item : items) out += item->name;
    return out;
}
} // namespace

TEST(VectorEx, OwnsItsObjectsGivesThemBackAndReportsWhetherAReorderMovedAnything)
{
    int deaths = 0;
    {
        VectorEx<Item> items;
        items.append(std::make_unique<Item>("a", &deaths));
        items.append(std::make_unique<Item>("c", &deaths));
        EXPECT_EQ(items.indexOf(items.insert(1, std::make_unique<Item>("b", &deaths))), 1);
        items.insert(99, std::make_unique<Item>("d", &deaths));
        EXPECT_EQ(names(items), "abcd");
        EXPECT_EQ(items.at(4), nullptr);
        EXPECT_EQ(items.take(0)->name, "a");
        EXPECT_EQ(items.take(7), nullptr);
        items.remove(0);
        EXPECT_EQ(deaths, 2);
        EXPECT_EQ(names(items), "cd");
    }
    EXPECT_EQ(deaths, 4);

    VectorEx<Item> items;
    for (const char* n : {"c", "a", "b"}) items.append(std::make_unique<Item>(n));
    // Without tracking, every reorder is a change, even one that moves nothing.
    bool changed = false;
    EXPECT_TRUE(items.reorder({0, 1, 2}, &changed) && changed);
    items.setTracking(true);
    EXPECT_TRUE(items.reorder({0, 1, 2}, &changed) && !changed);
    EXPECT_FALSE(items.reorder({0, 0, 1}) || items.reorder({0, 1}) || items.move(5, 0));
    const auto byName = [](const Item& x, const Item& y) { return x.name < y.name; };
    EXPECT_TRUE(items.sort(byName) && !items.sort(byName));
    EXPECT_TRUE(items.move(0, 2) && !items.move(1, 1));
    EXPECT_EQ(names(items), "bca");
}
