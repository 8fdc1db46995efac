// The integer list: duplicates rules, range, search, sorting and its streamed form.
#include <gtest/gtest.h>

#include "widgets/UiIntLst.h"

TEST(UiIntegerList, DuplicatesRules) {
    TUiIntegerList ignore;
    ignore.Add(0), ignore.Add(0), ignore.Add(0);
    EXPECT_EQ(ignore.Count(), 1);
    TUiIntegerList accept;
    accept.SetDuplicates(TDuplicates::dupAccept);
    accept.Add(0), accept.Add(0), accept.Add(0);
    EXPECT_EQ(accept.Count(), 3);
    TUiIntegerList error;
    error.SetDuplicates(TDuplicates::dupError);
    error.SetSorted(true);
    error.Add(4);
    EXPECT_THROW(error.Add(4), EListError);
    EXPECT_EQ(error.Count(), 1);
}

TEST(UiIntegerList, RangeAndIndexErrors) {
    TUiIntegerList any;
    any.SetMin(5), any.SetMax(5);
    EXPECT_NO_THROW(any.Add(-100));
    TUiIntegerList ranged;
    ranged.SetMin(0), ranged.SetMax(2);
    try {
        ranged.Add(3);
        FAIL();
    } catch (const EOutOfRange& e) {
        EXPECT_STREQ(e.what(), "Value must be within 0..2");
    }
    EXPECT_EQ(ranged.Count(), 0);
    ranged.Add(1);
    EXPECT_THROW(ranged.Put(0, 7), EOutOfRange);
    EXPECT_EQ(ranged.Get(0), 1);
    try {
        ranged.Insert(5, 1);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (5)");
    }
    TUiIntegerList sorted;
    sorted.SetSorted(true);
    try {
        sorted.Insert(0, 1);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "Operation not allowed on sorted list");
    }
    EXPECT_THROW(sorted.Get(0), EListError);
}

TEST(UiIntegerList, FindSortAndIndexOf) {
    TUiIntegerList list;
    int index = -1;
    EXPECT_FALSE(list.Find(4, index));
    EXPECT_EQ(index, 0);
    list.SetSorted(true);
    list.Add(5), list.Add(1), list.Add(3);
    EXPECT_EQ(list.Values(), (std::vector<int>{1, 3, 5}));
    EXPECT_FALSE(list.Find(4, index));
    EXPECT_EQ(index, 2);
    EXPECT_TRUE(list.Find(5, index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(list.IndexOf(3), 1);
    EXPECT_EQ(list.IndexOf(4), -1);

    TUiIntegerList dup;
    dup.SetDuplicates(TDuplicates::dupAccept);
    dup.SetSorted(true);
    for (int v : {2, 7, 2, 2, 9}) dup.Add(v);
    EXPECT_TRUE(dup.Find(2, index));
    EXPECT_EQ(index, 0);  // accept finds the first equal value

    TUiIntegerList unsorted;
    unsorted.SetDuplicates(TDuplicates::dupAccept);
    for (int v : {9, -3, 7, 7, 0, 12, -8}) unsorted.Add(v);
    unsorted.Sort();
    EXPECT_EQ(unsorted.Values(), (std::vector<int>{-8, -3, 0, 7, 7, 9, 12}));
    unsorted.Move(0, 6);
    unsorted.Exchange(0, 1);
    EXPECT_EQ(unsorted.Values(), (std::vector<int>{0, -3, 7, 7, 9, 12, -8}));
    unsorted.Delete(2);
    EXPECT_EQ(unsorted.IndexOf(7), 2);
}

TEST(UiIntegerList, StreamedAsIntegers) {
    TUiIntegerList zeros;
    zeros.SetDuplicates(TDuplicates::dupAccept);
    zeros.Add(0), zeros.Add(0), zeros.Add(0);
    TUiTextWriter writer;
    zeros.DefineProperties(writer);
    EXPECT_EQ(writer.Text(), "Integers = (0 0 0)\n");

    TUiIntegerList empty;
    TUiTextWriter none;
    empty.DefineProperties(none);
    EXPECT_EQ(none.Text(), "");

    TUiIntegerList ranged;
    ranged.SetMin(-1), ranged.SetMax(9);
    ranged.Add(4);
    TUiTextWriter withRange;
    ranged.DefineProperties(withRange);
    EXPECT_EQ(withRange.Text(), "Min = -1\nMax = 9\nIntegers = (4)\n");

    // Written against an equal ancestor: nothing; against a different one: the list.
    TUiIntegerList ancestor;
    ancestor.Add(4);
    TUiIntegerList same;
    same.Add(4);
    TUiTextWriter inherited;
    inherited.Ancestor = &ancestor;
    same.DefineProperties(inherited);
    EXPECT_EQ(inherited.Text(), "");
    same.Add(5);
    TUiTextWriter differs;
    differs.Ancestor = &ancestor;
    same.DefineProperties(differs);
    EXPECT_EQ(differs.Text(), "Integers = (4 5)\n");

    // Reading clears and adds, so the reader's duplicates rule applies.
    TUiIntegerList back;
    back.Add(42);
    TUiTextReader reader("Integers = (1 1 2)\n");
    back.DefineProperties(reader);
    EXPECT_EQ(back.Values(), (std::vector<int>{1, 2}));
    TUiIntegerList garbled;
    TUiTextReader bad("Integers = (1 x 2)\nMin = z\n");
    garbled.DefineProperties(bad);
    EXPECT_EQ(garbled.Count(), 0);
    EXPECT_EQ(garbled.GetMin(), 0);
}
