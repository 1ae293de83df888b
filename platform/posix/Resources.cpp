#include "platform/Resources.h"

#include "common/Text.h"
#include "platform/posix/EmbeddedResources.h"

namespace platform {

std::optional<std::span<const std::byte>> FindRawResource(std::u16string_view AName) {
  if (AName.empty())
    return std::nullopt;
  for (const auto& resource : embedded::RawResources())
    if (SameTextIgnoreCase(AName, resource.Name))
      return std::span<const std::byte>(reinterpret_cast<const std::byte*>(resource.Data), resource.Size);
  return std::nullopt;
}

std::u16string LoadStringResource(unsigned AId) {
  for (const auto& resource : embedded::StringResources())
    if (resource.Id == AId)
      return resource.Text;
  return {};
}

}  // namespace platform
