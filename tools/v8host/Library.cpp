#include "v8host/Library.h"

#include <utility>

#include "v8host/Error.h"
#include "v8host/Text.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace v8host {

namespace {

#if defined(_WIN32)
std::wstring Wide(const std::string& AUtf8) {
  const std::u16string text = ToUtf16(AUtf8);
  return std::wstring(text.begin(), text.end());
}

void* OpenLibrary(const std::string& APath, std::string& AError) {
  HMODULE module = LoadLibraryW(Wide(APath).c_str());
  if (module == nullptr && !APath.empty() && APath[0] == '/') {
    std::string dosPath = "Z:" + APath;
    for (char& c : dosPath)
      if (c == '/') c = '\\';
    module = LoadLibraryW(Wide(dosPath).c_str());
  }
  if (module == nullptr) AError = "LoadLibraryW failed, error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(module);
}

TSlot FindSymbol(void* AHandle, const char* AName) {
  return reinterpret_cast<TSlot>(GetProcAddress(static_cast<HMODULE>(AHandle), AName));
}

void CloseLibrary(void* AHandle) { FreeLibrary(static_cast<HMODULE>(AHandle)); }
#else
void* OpenLibrary(const std::string& APath, std::string& AError) {
  void* handle = dlopen(APath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = dlerror();
    AError = error ? error : "dlopen failed";
  }
  return handle;
}

TSlot FindSymbol(void* AHandle, const char* AName) {
  return reinterpret_cast<TSlot>(dlsym(AHandle, AName));
}

void CloseLibrary(void* AHandle) { dlclose(AHandle); }
#endif

template <typename F>
void Resolve(void* AHandle, const char* AName, F& AFunction, const std::string& APath) {
  const TSlot symbol = FindSymbol(AHandle, AName);
  if (symbol == nullptr) {
    CloseLibrary(AHandle);
    throw THostError(APath + ": export " + AName + " not found");
  }
  AFunction = reinterpret_cast<F>(symbol);
}

}  // namespace

TAddinLibrary TAddinLibrary::Load(const std::string& APath) {
  std::string error;
  void* handle = OpenLibrary(APath, error);
  if (handle == nullptr) throw THostError(APath + ": " + error);
  TAddinLibrary library;
  library.FPath = APath;
  Resolve(handle, "GetClassNames", library.FEntries.GetClassNames, APath);
  Resolve(handle, "GetClassObject", library.FEntries.GetClassObject, APath);
  Resolve(handle, "DestroyObject", library.FEntries.DestroyObject, APath);
  library.FHandle = handle;
  return library;
}

TAddinLibrary TAddinLibrary::FromEntryPoints(const TEntryPoints& AEntries) {
  if (!AEntries.GetClassNames || !AEntries.GetClassObject || !AEntries.DestroyObject)
    throw THostError("entry points incomplete");
  TAddinLibrary library;
  library.FPath = "(linked in)";
  library.FEntries = AEntries;
  return library;
}

TAddinLibrary::TAddinLibrary(TAddinLibrary&& AOther) noexcept
    : FHandle(std::exchange(AOther.FHandle, nullptr)), FPath(std::move(AOther.FPath)), FEntries(AOther.FEntries) {}

TAddinLibrary& TAddinLibrary::operator=(TAddinLibrary&& AOther) noexcept {
  if (this != &AOther) {
    Unload();
    FHandle = std::exchange(AOther.FHandle, nullptr);
    FPath = std::move(AOther.FPath);
    FEntries = AOther.FEntries;
  }
  return *this;
}

TAddinLibrary::~TAddinLibrary() { Unload(); }

void TAddinLibrary::Unload() noexcept {
  if (FHandle) CloseLibrary(FHandle);
  FHandle = nullptr;
}

const char16_t* TAddinLibrary::GetClassNames() const { return FEntries.GetClassNames(); }

TV8Long TAddinLibrary::GetClassObject(const char16_t* AName, void** AObject) const {
  return FEntries.GetClassObject(AName, AObject);
}

TV8Long TAddinLibrary::DestroyObject(void** AObject) const { return FEntries.DestroyObject(AObject); }

std::vector<std::u16string> TAddinLibrary::ClassNames() const {
  const std::u16string text = WideCopy(GetClassNames());
  std::vector<std::u16string> names;
  if (text.empty()) return names;
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = text.find(u'|', start);
    names.push_back(text.substr(start, bar == std::u16string::npos ? std::u16string::npos : bar - start));
    if (bar == std::u16string::npos) break;
    start = bar + 1;
  }
  return names;
}

}  // namespace v8host
