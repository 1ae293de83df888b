#include "unit/faults/HostBlocks.h"

#include <algorithm>

#include "common/Text.h"

namespace FaultTest {

namespace {

// The zero-terminated UTF-16 text a block holds, if it holds one.
std::u16string BlockText(const v8host::TMemoryManager& AMemory, const void* ABlock) {
  const std::size_t Bytes = AMemory.BlockSize(ABlock).value_or(0);
  if (Bytes < sizeof(char16_t) || Bytes % sizeof(char16_t) != 0) return {};
  const auto* Text = static_cast<const char16_t*>(ABlock);
  const std::size_t Units = Bytes / sizeof(char16_t) - 1;
  if (Text[Units] != 0) return {};
  return std::u16string(Text, Units);
}

}  // namespace

std::size_t ReleaseReportedDescriptions(v8host::THost& AHost) {
  std::vector<std::u16string> Pending;
  // An empty description is a report without a text (a refused copy): it
  // owns no block, and an empty text block must not be excused by it.
  for (const auto& Error : AHost.Services.Errors())
    if (!Error.Description.empty()) Pending.push_back(Error.Description);
  std::size_t Freed = 0;
  for (const void* Block : AHost.Memory.LiveBlockList()) {
    const auto Match = std::find(Pending.begin(), Pending.end(), BlockText(AHost.Memory, Block));
    if (Match == Pending.end()) continue;
    Pending.erase(Match);  // one block per report
    AHost.Memory.Free(const_cast<void*>(Block));
    ++Freed;
  }
  return Freed;
}

std::string LiveBlocksReport(const v8host::THost& AHost) {
  std::string Report;
  for (const void* Block : AHost.Memory.LiveBlockList())
    Report += "  " + std::to_string(AHost.Memory.BlockSize(Block).value_or(0)) + " bytes: \"" +
              ToUtf8(BlockText(AHost.Memory, Block)) + "\"\n";
  return Report;
}

}  // namespace FaultTest
