// The harness's memory manager, called through its table as the add-in
// calls it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "v8host/Memory.h"

using namespace v8host;

namespace {

bool AddinAlloc(TMemoryManager& AMemory, void** ABlock, TV8ULong ABytes) {
  return CallOperation<bool>(AMemory.Interface(), MemoryOps::AllocMemory, ABlock, ABytes);
}

void AddinFree(TMemoryManager& AMemory, void** ABlock) {
  CallOperation<void>(AMemory.Interface(), MemoryOps::FreeMemory, ABlock);
}

}  // namespace

TEST(MemoryManager, CountsLiveBlocksAndBytesThroughTheTable) {
  TMemoryManager memory;
  void* a = nullptr;
  void* b = nullptr;
  ASSERT_TRUE(AddinAlloc(memory, &a, 20));
  ASSERT_TRUE(AddinAlloc(memory, &b, 2));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(memory.LiveBlocks(), 2u);
  EXPECT_EQ(memory.LiveBytes(), 22u);
  EXPECT_EQ(memory.BlockSize(a), 20u);
  EXPECT_EQ(memory.Requests(), (std::vector<std::size_t>{20, 2}));

  AddinFree(memory, &a);
  EXPECT_EQ(a, nullptr) << "FreeMemory clears the reference";
  memory.Free(b);  // the platform's own release
  EXPECT_EQ(memory.LiveBlocks(), 0u);
  EXPECT_EQ(memory.AddinFrees(), 1u);
  EXPECT_TRUE(memory.Errors().empty()) << memory.ErrorReport();
}

TEST(MemoryManager, FreshBlocksAreNotZeroed) {
  // An add-in that forgets a terminator must not be rescued by luck.
  TMemoryManager memory;
  void* block = nullptr;
  ASSERT_TRUE(AddinAlloc(memory, &block, 4));
  const unsigned char zeros[4] = {};
  EXPECT_NE(std::memcmp(block, zeros, 4), 0);
  AddinFree(memory, &block);
}

TEST(MemoryManager, RefusesAllOrAfterAGivenNumber) {
  TMemoryManager memory;
  void* block = reinterpret_cast<void*>(0x1234);
  memory.RefuseAll();
  EXPECT_FALSE(AddinAlloc(memory, &block, 8));
  EXPECT_EQ(block, reinterpret_cast<void*>(0x1234)) << "a refusal leaves the reference alone";

  memory.RefuseAfter(2);
  void* blocks[3] = {};
  EXPECT_TRUE(AddinAlloc(memory, &blocks[0], 8));
  EXPECT_TRUE(AddinAlloc(memory, &blocks[1], 8));
  EXPECT_FALSE(AddinAlloc(memory, &blocks[2], 8));
  EXPECT_EQ(memory.Refused(), 2u);
  EXPECT_EQ(memory.Granted(), 2u);
  // The platform's own allocations are never refused.
  void* own = memory.Allocate(4);
  EXPECT_NE(own, nullptr);

  memory.AcceptAll();
  EXPECT_TRUE(AddinAlloc(memory, &blocks[2], 8));
  for (void*& b : blocks) AddinFree(memory, &b);
  memory.Free(own);
  EXPECT_EQ(memory.LiveBlocks(), 0u);
}

TEST(MemoryManager, RefusesOnlyTheNthOrFromTheNthOn) {
  TMemoryManager memory;
  std::vector<void*> blocks;
  const auto grantedOfFive = [&] {
    std::vector<bool> granted;
    for (int i = 0; i < 5; ++i) {
      void* block = nullptr;
      granted.push_back(AddinAlloc(memory, &block, 4));
      if (block != nullptr) blocks.push_back(block);
    }
    return granted;
  };
  memory.RefuseOnly(2);
  EXPECT_EQ(grantedOfFive(), (std::vector<bool>{true, false, true, true, true}));
  // A new rule counts from its own start.
  memory.RefuseFrom(3);
  EXPECT_EQ(grantedOfFive(), (std::vector<bool>{true, true, false, false, false}));
  memory.RefuseOnly(1);
  memory.AcceptAll();
  EXPECT_EQ(grantedOfFive(), (std::vector<bool>(5, true)));
  EXPECT_EQ(memory.Refused(), 4u);
  EXPECT_EQ(memory.Requests().size(), 15u);
  memory.ClearRequests();
  EXPECT_TRUE(memory.Requests().empty());
  EXPECT_EQ(memory.Granted(), 11u);

  const auto live = memory.LiveBlockList();
  ASSERT_EQ(live.size(), blocks.size());
  for (void* block : blocks) EXPECT_NE(std::find(live.begin(), live.end(), block), live.end());
  for (void*& block : blocks) AddinFree(memory, &block);
  EXPECT_TRUE(memory.LiveBlockList().empty());
  EXPECT_TRUE(memory.Errors().empty()) << memory.ErrorReport();
}

TEST(MemoryManager, RecordsDoubleUnknownAndNullFrees) {
  TMemoryManager memory;
  void* block = nullptr;
  ASSERT_TRUE(AddinAlloc(memory, &block, 8));
  void* copy = block;
  AddinFree(memory, &block);
  AddinFree(memory, &copy);  // second time
  int local = 0;
  void* stranger = &local;
  AddinFree(memory, &stranger);
  AddinFree(memory, nullptr);
  void* none = nullptr;
  AddinFree(memory, &none);  // a null block is fine, like free(NULL)
  EXPECT_FALSE(AddinAlloc(memory, nullptr, 8));

  const auto errors = memory.Errors();
  ASSERT_EQ(errors.size(), 4u) << memory.ErrorReport();
  EXPECT_EQ(errors[0].Kind, TMemoryError::mkDoubleFree);
  EXPECT_EQ(errors[1].Kind, TMemoryError::mkUnknownFree);
  EXPECT_EQ(errors[1].Block, &local);
  EXPECT_EQ(errors[2].Kind, TMemoryError::mkNullReference);
  EXPECT_EQ(errors[3].Kind, TMemoryError::mkNullReference);
  EXPECT_EQ(errors[3].Operation, "AllocMemory");
  memory.ClearErrors();
  EXPECT_TRUE(memory.Errors().empty());
}

TEST(MemoryManager, HostFreeOfAnAddinFreedBlockIsADoubleFree) {
  TMemoryManager memory;
  void* block = memory.Allocate(6);
  void* copy = block;
  AddinFree(memory, &block);
  EXPECT_FALSE(memory.FreeIfLive(copy));
  EXPECT_TRUE(memory.Errors().empty());
  memory.Free(copy);
  ASSERT_EQ(memory.Errors().size(), 1u);
  EXPECT_EQ(memory.Errors()[0].Kind, TMemoryError::mkDoubleFree);
  EXPECT_EQ(memory.Errors()[0].Operation, "host free");
}
