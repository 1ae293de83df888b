#pragma once
// The add-in's three exports, from a loaded library file or from function
// pointers of code linked into the same program.
#include <string>
#include <vector>

#include "v8host/Abi.h"

namespace v8host {

// Exports: C linkage, the C library's default calling convention.
extern "C" {
using TGetClassNames = const char16_t* (*)();
using TGetClassObject = TV8Long (*)(const char16_t* AName, void** AObject);
using TDestroyObject = TV8Long (*)(void** AObject);
}

struct TEntryPoints {
  TGetClassNames GetClassNames = nullptr;
  TGetClassObject GetClassObject = nullptr;
  TDestroyObject DestroyObject = nullptr;
};

class TAddinLibrary {
 public:
  // Loads the library at APath (UTF-8) and finds its three exports; throws
  // THostError naming what failed. On Windows a path that starts with "/"
  // is also tried on drive Z: (Wine's view of the Unix file system).
  static TAddinLibrary Load(const std::string& APath);
  // Exports of code linked into this program; nothing is loaded or unloaded.
  static TAddinLibrary FromEntryPoints(const TEntryPoints& AEntries);

  TAddinLibrary(TAddinLibrary&& AOther) noexcept;
  TAddinLibrary& operator=(TAddinLibrary&& AOther) noexcept;
  TAddinLibrary(const TAddinLibrary&) = delete;
  TAddinLibrary& operator=(const TAddinLibrary&) = delete;
  ~TAddinLibrary();  // unloads: destroy every component object first

  const TEntryPoints& Entries() const noexcept { return FEntries; }
  const std::string& Path() const noexcept { return FPath; }

  // The raw answers of the exports.
  const char16_t* GetClassNames() const;
  TV8Long GetClassObject(const char16_t* AName, void** AObject) const;
  TV8Long DestroyObject(void** AObject) const;

  // GetClassNames split at "|"; empty when the text is empty (or null).
  std::vector<std::u16string> ClassNames() const;

 private:
  TAddinLibrary() = default;
  void Unload() noexcept;

  void* FHandle = nullptr;
  std::string FPath;
  TEntryPoints FEntries;
};

}  // namespace v8host
