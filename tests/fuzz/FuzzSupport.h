#pragma once
// What every fuzz target shares: a private sandbox folder for the process
// (the data folder and the temporary folder point into it, so nothing a run
// writes lands in the user's folders) and a reader that cuts the fuzzer's
// bytes into the pieces a target needs.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace fuzz {

// Creates the sandbox once: $TMPDIR (or /tmp)/quorvel-fuzz-XXXXXX with
// "data" as XDG_DATA_HOME and "up/up/up/tmp" as TMPDIR; removed when the
// process exits normally. The temporary folder sits a few levels deep so
// that a path climbing out of it by "../" still lands inside the sandbox,
// where SandboxIsClean() sees it. Answers the temporary folder.
const std::filesystem::path& Sandbox();

// True when the sandbox holds nothing besides its own folders and, inside
// the temporary folder, the entries named in AExpected (only these).
bool SandboxIsClean(std::initializer_list<std::filesystem::path> AExpected = {});

// Consumes the input from the front; past the end every read gives zeros
// or empty pieces.
class TInput {
public:
  TInput(const std::uint8_t* AData, std::size_t ASize) noexcept : FData(AData), FSize(ASize) {}

  std::size_t Remaining() const noexcept { return FSize - FPos; }

  template <typename T>
  T Take() noexcept {
    T Value{};
    const std::size_t N = sizeof(T) < Remaining() ? sizeof(T) : Remaining();
    std::memcpy(&Value, FData + FPos, N);
    FPos += N;
    return Value;
  }

  // A value in [0, ABound) (0 for ABound 0).
  std::uint32_t Below(std::uint32_t ABound) noexcept { return ABound == 0 ? 0 : Take<std::uint32_t>() % ABound; }

  // Up to AMax bytes, the count read first.
  std::string_view Bytes(std::size_t AMax) noexcept {
    std::size_t N = Take<std::uint16_t>() % (AMax + 1);
    if (N > Remaining()) N = Remaining();
    const std::string_view Piece(reinterpret_cast<const char*>(FData + FPos), N);
    FPos += N;
    return Piece;
  }

  // UTF-16 text of up to AMax units (pairs of bytes, little-endian).
  std::u16string Text16(std::size_t AMax) {
    const std::string_view Raw = Bytes(AMax * 2);
    std::u16string Text(Raw.size() / 2, u'\0');
    std::memcpy(Text.data(), Raw.data(), Text.size() * 2);
    return Text;
  }

  std::string_view Rest() noexcept {
    const std::string_view Piece(reinterpret_cast<const char*>(FData + FPos), Remaining());
    FPos = FSize;
    return Piece;
  }

private:
  const std::uint8_t* FData;
  std::size_t FSize;
  std::size_t FPos = 0;
};

}  // namespace fuzz
