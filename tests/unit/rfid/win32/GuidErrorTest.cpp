// A GUID the system cannot make fails with the system's own reason.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/Exception.h"
#include "common/Text.h"
#include "platform/win32/GuidSource.h"

namespace {

HRESULT WINAPI OutOfMemory(GUID*) { return E_OUTOFMEMORY; }

HRESULT WINAPI Unavailable(GUID*) { return HRESULT_FROM_WIN32(RPC_S_UUID_NO_ADDRESS); }

std::string SystemText(DWORD ACode) {
  wchar_t Buffer[512] = {};
  const DWORD Length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ACode, 0,
                                      Buffer, 512, nullptr);
  // The message's beginning: its end is a full stop and a line break that
  // the error text leaves off.
  std::u16string Text(reinterpret_cast<const char16_t*>(Buffer), Length);
  return ToUtf8(Text.substr(0, Text.size() > 12 ? 10 : 0));
}

std::string FailureOf(platform::TGuidSource ASource) {
  try {
    platform::NewGuidTextFrom(ASource);
  } catch (const Exception& E) {
    return ToUtf8(E.Message());
  }
  return "no failure";
}

TEST(GuidError, CarriesTheSystemsTextAndCode) {
  const std::string Memory = FailureOf(&OutOfMemory);
  EXPECT_EQ(Memory.rfind("Cannot create a GUID: ", 0), 0u) << Memory;
  const std::string Reason = SystemText(ERROR_OUTOFMEMORY);
  ASSERT_FALSE(Reason.empty());
  EXPECT_NE(Memory.find(": " + Reason), std::string::npos) << Memory;
  EXPECT_NE(Memory.find("(code 14)"), std::string::npos) << Memory;
  const std::string NoAddress = FailureOf(&Unavailable);
  EXPECT_NE(NoAddress.find("(code 1739)"), std::string::npos) << NoAddress;
}

}  // namespace
