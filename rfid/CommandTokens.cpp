#include "rfid/CommandTokens.h"

std::optional<std::vector<std::string_view>> CommandTokens(std::string_view AText) {
  std::vector<std::string_view> Result;
  std::size_t Start = 0;
  for (std::size_t I = 0; I <= AText.size(); ++I) {
    if (I < AText.size() && AText[I] != ' ') {
      const auto C = static_cast<unsigned char>(AText[I]);
      if (C < 0x21 || C > 0x7E) return std::nullopt;
      continue;
    }
    if (I == Start) return std::nullopt;
    Result.push_back(AText.substr(Start, I - Start));
    Start = I + 1;
  }
  return Result;
}
