#include "platform/Resources.h"

#include <windows.h>

#include "platform/win32/OwnModule.h"

namespace platform {
std::optional<std::span<const std::byte>> FindRawResource(std::u16string_view AName) {
  // FindResourceW reads a name beginning with '#' as a number; resource
  // names here are always names.
  if (AName.empty() || AName.front() == u'#')
    return std::nullopt;
  const HMODULE module = OwnModule();
  const std::wstring name(AName.begin(), AName.end());
  // FindResourceW compares names without regard to letter case.
  HRSRC info = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!info)
    return std::nullopt;
  HGLOBAL handle = LoadResource(module, info);
  const void* data = handle ? LockResource(handle) : nullptr;
  if (!data)
    return std::nullopt;
  return std::span<const std::byte>(static_cast<const std::byte*>(data), SizeofResource(module, info));
}

std::u16string LoadStringResource(unsigned AId) {
  // With a zero buffer size LoadStringW hands out a pointer to the
  // resource's own (not zero-terminated) text.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(OwnModule(), AId, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text)
    return {};
  return std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length));
}

}  // namespace platform
