// The list registry: finding lists, subscriber slots, the list file routines
// and growing a line buffer.
#include <gtest/gtest.h>

#include <cstring>

#include "area/arearec.h"
#include "lists/fold.h"
#include "lists/registry.h"
#include "platform/fault.h"
#include "support/files.h"
#include "support/instance.h"

using testinstance::Instance;
using testinstance::Pascal;

namespace {

const uint8_t* Name(const std::string& p) { return reinterpret_cast<const uint8_t*>(p.data()); }

// Slot fields by value: the record is packed, so no reference may bind to them.
void* SlotArea(const ListRec* l, int i) { return l->subscribers[i].area; }
void* SlotScroll(const ListRec* l, int i) { return l->subscribers[i].scrollWindow; }
int Count(const ListRec* l) { return l->subscriberCount; }

// MemCopyCurrent as one number: 0 current, -1 not current, else its result.
int CopyState(Globals* g, ListRec* l) {
    bool current = false;
    const int16_t r = MemCopyCurrent(g, l, &current);
    return r != 0 ? r : current ? 0 : -1;
}

TEST(FindListTest, MatchesNamesExactly) {
    Instance inst;
    ListRec* found = reinterpret_cast<ListRec*>(1);
    EXPECT_EQ(0, FindList(inst.g(), &found, Name(Pascal("people"))));
    EXPECT_EQ(nullptr, found);

    inst.AddList("people");
    inst.AddList("People");
    inst.AddList("");
    EXPECT_EQ(1, FindList(inst.g(), &found, Name(Pascal("people"))));
    EXPECT_EQ(ListTableRecord(inst.g()->listTable, 1), found);
    EXPECT_EQ(2, FindList(inst.g(), &found, Name(Pascal("People"))));
    // A longer stored name that begins with the wanted one does not match,
    // nor does a shorter one.
    EXPECT_EQ(0, FindList(inst.g(), &found, Name(Pascal("peop"))));
    EXPECT_EQ(0, FindList(inst.g(), &found, Name(Pascal("peoples"))));
    EXPECT_EQ(3, FindList(inst.g(), &found, Name(Pascal(""))));
}

// The subscriber entry of an area, as the list window makes it.
Subscriber Shows(AreaRec* a) { return {a, a->scrollWindow, a->hostWindow, a->prevWndProc}; }

TEST(SubscriberTest, TwentySlotsKeptInOrder) {
    Instance inst;
    ListRec* l = inst.AddList("a");
    AreaRec areas[21];
    std::memset(areas, 0, sizeof areas);
    for (int i = 0; i < 21; ++i) areas[i].scrollWindow = reinterpret_cast<void*>(100 + i);
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(SubscribeToList(l, Shows(&areas[i])));
    Subscriber before[kMaxSubscribers];
    std::memcpy(before, l->subscribers, sizeof before);
    EXPECT_FALSE(SubscribeToList(l, Shows(&areas[20])));
    EXPECT_EQ(20, Count(l));
    EXPECT_EQ(0, std::memcmp(before, l->subscribers, sizeof before));

    EXPECT_TRUE(UnsubscribeFromList(l, &areas[5]));
    EXPECT_TRUE(SubscribeToList(l, Shows(&areas[20])));
    EXPECT_EQ(&areas[20], SlotArea(l, 19));
    EXPECT_EQ(reinterpret_cast<void*>(120), SlotScroll(l, 19));
    EXPECT_EQ(&areas[6], SlotArea(l, 5));
}

TEST(SubscriberTest, UnsubscribeKeepsTheOthersInOrder) {
    Instance inst;
    ListRec* l = inst.AddList("a");
    AreaRec a[3];
    std::memset(a, 0, sizeof a);
    for (auto& area : a) SubscribeToList(l, Shows(&area));
    EXPECT_TRUE(UnsubscribeFromList(l, &a[1]));
    ASSERT_EQ(2, Count(l));
    EXPECT_EQ(&a[0], SlotArea(l, 0));
    EXPECT_EQ(&a[2], SlotArea(l, 1));
    EXPECT_FALSE(UnsubscribeFromList(l, &a[1]));
    EXPECT_FALSE(UnsubscribeFromList(nullptr, &a[0]));
}

TEST(ListFileTest, OpenAdmitsReadersAndRefusesWriters) {
    testfiles::TempDir dir;
    const std::string path = dir.File("l.txt");
    testfiles::WriteBytes(path, "abc\r\n");
    Instance inst;
    ListRec* l = inst.AddList("l", path);

    plat::FileHandle r1, r2, w;
    ASSERT_EQ(0, OpenListFile(l, &r1, false));
    EXPECT_EQ(0, OpenListFile(l, &r2, false));
    EXPECT_EQ(8, OpenListFile(l, &w, true));
    EXPECT_EQ(nullptr, w);
    plat::CloseFile(r1);
    plat::CloseFile(r2);

    ASSERT_EQ(0, OpenListFile(l, &w, true));
    EXPECT_EQ(8, OpenListFile(l, &r1, false));
    EXPECT_EQ(8, OpenListFile(l, &r2, true));
    plat::CloseFile(w);

    ListRec* missing = inst.AddList("m", dir.File("none.txt"));
    EXPECT_EQ(8, OpenListFile(missing, &r1, false));
    EXPECT_EQ(nullptr, r1);
}

TEST(ListFileTest, ModDateAndCurrency) {
    testfiles::TempDir dir;
    const std::string path = dir.File("l.txt");
    testfiles::WriteBytes(path, "abc\r\n");
    Instance inst;
    ListRec* l = inst.AddList("l", path);
    Instance::SetLines(l, "abc\r\n", 5, kTermCRLF);
    l->fileSortCol = l->sortCol = 1;

    uint64_t t = 0;
    ASSERT_EQ(0, GetModDate(inst.g(), l, &t));
    // A time after 2000-01-01 in 100-ns units since 1601.
    EXPECT_GT(t, 125911584000000000ULL);
    SetListFileTime(l, t);
    EXPECT_EQ(0, CopyState(inst.g(), l));

    l->sortCol = 2;  // sorted in memory on another column
    EXPECT_EQ(-1, CopyState(inst.g(), l));
    l->sortCol = 1;

    testfiles::ShiftWriteTime(path, 5);  // another program touched it
    EXPECT_EQ(-1, CopyState(inst.g(), l));
    ASSERT_EQ(0, GetModDate(inst.g(), l, &t));
    SetListFileTime(l, t);
    EXPECT_EQ(0, CopyState(inst.g(), l));

    l->staleCopy = 1;  // a write-back failed
    EXPECT_EQ(-1, CopyState(inst.g(), l));
    l->staleCopy = 0;

    testfiles::Remove(path);
    EXPECT_EQ(10, GetModDate(inst.g(), l, &t));
    EXPECT_EQ(1u, t);
    EXPECT_EQ(10, CopyState(inst.g(), l));
}

TEST(ListFileTest, AListWithoutBufferIsNeverCurrent) {
    testfiles::TempDir dir;
    const std::string path = dir.File("l.txt");
    testfiles::WriteBytes(path, "");
    Instance inst;
    ListRec* l = inst.AddList("l", path);
    uint64_t t = 0;
    ASSERT_EQ(0, GetModDate(inst.g(), l, &t));
    SetListFileTime(l, t);
    EXPECT_EQ(-1, CopyState(inst.g(), l));
}

class GrowTest : public ::testing::TestWithParam<bool> {};

TEST_P(GrowTest, KeepsEveryByte) {
    const bool forceCopy = GetParam();
    XPHandle h = NewXPHandle(10000);
    uint8_t* p = static_cast<uint8_t*>(LockXPHandle(h));
    for (int i = 0; i < 10000; ++i) p[i] = static_cast<uint8_t>(i * 7);
    UnlockXPHandle(h);
    const uint32_t before = SizeXPHandle(h);
    // Failing the resize makes it take the copying path.
    if (forceCopy) fault::Arm(fault::kAlloc, 1);
    ASSERT_TRUE(GrowTheHandle(&h, 500));
    fault::DisarmAll();
    EXPECT_EQ(before + 500, SizeXPHandle(h));
    p = static_cast<uint8_t*>(LockXPHandle(h));
    for (int i = 0; i < 10000; ++i) ASSERT_EQ(static_cast<uint8_t>(i * 7), p[i]) << i;
    UnlockXPHandle(h);
    DisposeXPHandle(h);
}

INSTANTIATE_TEST_SUITE_P(ResizeOrCopy, GrowTest, ::testing::Bool());

TEST(GrowTest, OutOfMemoryLeavesTheBlock) {
    XPHandle h = NewXPHandle(16);
    const XPHandle original = h;
    std::memcpy(LockXPHandle(h), "0123456789abcdef", 16);
    UnlockXPHandle(h);
    // Both the resize and the fresh block fail.
    fault::Arm(fault::kAlloc, 1, true);
    EXPECT_FALSE(GrowTheHandle(&h, 16));
    fault::DisarmAll();
    EXPECT_EQ(original, h);
    EXPECT_EQ(16u, SizeXPHandle(h));
    EXPECT_EQ(0, std::memcmp(LockXPHandle(h), "0123456789abcdef", 16));
    UnlockXPHandle(h);
    DisposeXPHandle(h);
}

TEST(FoldingTest, TableAndOrder) {
    Instance inst;
    const Globals* g = inst.g();
    EXPECT_EQ('E', FoldByte(g->foldTable, 0x80));
    EXPECT_EQ('C', FoldByte(g->foldTable, 0x81));
    EXPECT_EQ('N', FoldByte(g->foldTable, 0x87));
    EXPECT_EQ('S', FoldByte(g->foldTable, 0xA4));
    EXPECT_EQ('\'', FoldByte(g->foldTable, 0xD6));
    EXPECT_EQ('Y', FoldByte(g->foldTable, 0xD9));
    EXPECT_EQ(0xA3, FoldByte(g->foldTable, 0xA0));
    EXPECT_EQ(0xA0, FoldByte(g->foldTable, 0xA3));
    EXPECT_EQ('Q', FoldByte(g->foldTable, 'q'));
    EXPECT_EQ('{', FoldByte(g->foldTable, '{'));
    EXPECT_EQ(0xFF, FoldByte(g->foldTable, 0xFF));
    // Signed order: folded values from 0x80 up sort before plain ASCII.
    EXPECT_LT(g->foldOrder[0xA0], g->foldOrder[' ']);
    EXPECT_EQ(g->foldOrder['E'], g->foldOrder[0x80]);
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(static_cast<int8_t>(FoldByte(g->foldTable, static_cast<uint8_t>(c))),
                  g->foldOrder[c]);
}

TEST(FoldingTest, TimingValues) {
    Instance inst;
    // Windows' defaults on a fresh system: keyboard delay 1, 500 ms.
    EXPECT_GE(inst.g()->typeAheadTimeout, 500u);
    EXPECT_LE(inst.g()->typeAheadTimeout, 2000u);
    EXPECT_EQ(0u, inst.g()->typeAheadTimeout % 500);
    EXPECT_GT(inst.g()->doubleClickTime, 0u);
}

}  // namespace
