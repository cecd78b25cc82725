// Who frees which node. Run under AddressSanitizer these tests also prove that no node is used after it
// is freed or freed twice.
#include "plist/PlistCFType.h"

#include <gtest/gtest.h>

namespace {

PlistCFType parsedDictionary()
{
    PlistCFType dict = PlistCFType::newDict();
    PlistCFType list = PlistCFType::newArray();
    list.append(PlistCFType::newString("first"));
    list.append(PlistCFType::newString("second"));
    dict.setValue("list", list);
    dict.setValue("name", PlistCFType::newString("root"));
    return PlistCFType::fromData(dict.serialize(PlistCFType::FormatBinary));
}

TEST(PlistOwnershipTest, ChildrenKeepTheirTreeAlive)
{
    PlistCFType second;
    PlistCFType key;
    {
        const PlistCFType root = parsedDictionary();
        ASSERT_TRUE(root.isDict());
        second = root.value("list").at(1);
        key = root.keys().first();
    }
    // The root wrapper is gone; the children still read their tree.
    EXPECT_EQ(second.getString(), "second");
    EXPECT_EQ(key.getString(), "list");
    EXPECT_EQ(PlistCFType(plist_get_parent(second.node()), false).count(), 2);
}

TEST(PlistOwnershipTest, InsertedRootBecomesPartOfTheContainer)
{
    PlistCFType dict = PlistCFType::newDict();
    PlistCFType item = PlistCFType::newArray();
    item.append(PlistCFType::newInt(1));
    ASSERT_TRUE(dict.setValue("item", item));
    // Same node: the wrapper itself was inserted, and changes through it show in the container.
    EXPECT_EQ(dict.value("item").node(), item.node());
    item.append(PlistCFType::newInt(2));
    EXPECT_EQ(dict.toString(), "{item : [1, 2]}");
    // Dropping the container's wrapper leaves the item usable: it keeps the tree alive.
    dict = PlistCFType();
    EXPECT_EQ(item.toString(), "[1, 2]");
    EXPECT_EQ(PlistCFType(plist_get_parent(item.node()), false).typeId(), 18);
}

TEST(PlistOwnershipTest, ContainerKeepsInsertedItemsAlive)
{
    PlistCFType list = PlistCFType::newArray();
    plist_t itemNode = nullptr;
    {
        PlistCFType item = PlistCFType::newString("kept");
        itemNode = item.node();
        list.append(item);
    }
    EXPECT_EQ(list.at(0).node(), itemNode);
    EXPECT_EQ(list.at(0).getString(), "kept");
    const PlistCFType copyOfWrapper = list;
    list = PlistCFType();
    EXPECT_EQ(copyOfWrapper.at(0).getString(), "kept");
}

TEST(PlistOwnershipTest, ChildOfAnotherTreeIsInsertedAsACopy)
{
    const PlistCFType source = parsedDictionary();
    PlistCFType target = PlistCFType::newArray();
    const PlistCFType child = source.value("list");
    ASSERT_TRUE(target.append(child));
    EXPECT_NE(target.at(0).node(), child.node());
    EXPECT_EQ(target.at(0).toString(), "[first, second]");
    // Both trees stay whole and independent.
    PlistCFType(target.at(0)).append(PlistCFType::newString("third"));
    EXPECT_EQ(source.value("list").count(), 2);
    EXPECT_EQ(plist_get_parent(child.node()), source.node());
}

TEST(PlistOwnershipTest, SameWrapperInsertedTwiceGivesTwoNodes)
{
    PlistCFType list = PlistCFType::newArray();
    PlistCFType item = PlistCFType::newString("x");
    ASSERT_TRUE(list.append(item));
    ASSERT_TRUE(list.append(item));
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.at(0).node(), item.node());
    EXPECT_NE(list.at(1).node(), item.node());
    PlistCFType other = PlistCFType::newArray();
    ASSERT_TRUE(other.append(item)); // already inside list: copied, list unchanged
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(plist_get_parent(item.node()), list.node());
}

TEST(PlistOwnershipTest, ContainerInsertedIntoItselfIsCopied)
{
    PlistCFType list = PlistCFType::newArray();
    list.append(PlistCFType::newInt(1));
    ASSERT_TRUE(list.append(list));
    EXPECT_EQ(list.toString(), "[1, [1]]");

    PlistCFType root = PlistCFType::newDict();
    PlistCFType child = PlistCFType::newDict();
    root.setValue("child", child);
    ASSERT_TRUE(child.setValue("parent", root)); // an ancestor: copied, no cycle
    EXPECT_EQ(root.toString(), "{child : {parent : {child : {}}}}");
}

TEST(PlistOwnershipTest, UnownedWrapperNeverFreesNorGivesAwayItsNode)
{
    plist_t external = plist_new_string("external");
    {
        const PlistCFType wrapper(external, false);
        PlistCFType list = PlistCFType::newArray();
        ASSERT_TRUE(list.append(wrapper));
        EXPECT_NE(list.at(0).node(), external);
        EXPECT_EQ(plist_get_parent(external), nullptr);
    }
    // Still ours to read and free.
    EXPECT_EQ(PlistCFType(external, false).getString(), "external");
    plist_free(external);
}

TEST(PlistOwnershipTest, ReplacedInsertedValueTurnsNull)
{
    PlistCFType dict = PlistCFType::newDict();
    PlistCFType first = PlistCFType::newString("first");
    dict.setValue("k", first);
    dict.setValue("k", PlistCFType::newString("second"));
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(first.toString(), "NULL");
    EXPECT_EQ(dict.value("k").getString(), "second");
    // Replacing a value with a wrapper on itself copies before the old node is freed.
    dict.setValue("k", dict.value("k"));
    EXPECT_EQ(dict.value("k").getString(), "second");
}

TEST(PlistOwnershipTest, LongChainsOfChildWrappersAreReleasedWithoutRecursion)
{
    PlistCFType root = PlistCFType::newArray();
    PlistCFType current = root;
    for (int i = 1; i < 120; ++i) {
        PlistCFType next = PlistCFType::newArray();
        current.append(next);
        current = next;
    }
    root = PlistCFType();
    // Walk down again from the deepest node, keeping only wrappers reached through parents.
    PlistCFType walker = current;
    current = PlistCFType();
    int levels = 1;
    for (plist_t up = plist_get_parent(walker.node()); up; up = plist_get_parent(up))
        ++levels;
    EXPECT_EQ(levels, 120);
    walker = PlistCFType(); // frees the whole tree
}

} // namespace
