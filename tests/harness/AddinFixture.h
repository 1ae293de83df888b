#pragma once
// The built add-in, loaded once per test program, and a fixture for tests
// that create its objects through the harness.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "HarnessPaths.h"
#include "v8host/Component.h"
#include "v8host/Text.h"

namespace harness {

// The add-in at QUORVEL_ADDIN_PATH, loaded on first use and kept loaded.
inline v8host::TAddinLibrary& Addin() {
  static v8host::TAddinLibrary library = v8host::TAddinLibrary::Load(AddinPath());
  return library;
}

// The one class the add-in registers.
inline constexpr char16_t kClassName[] = u"quorvel";

// Tests of the add-in's objects. Creating one opens the tag window, so under
// Wine the test command provides an X display; an object that cannot be
// created fails the test whatever the reason.
class AddinObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Addin().ClassNames(), std::vector<std::u16string>{kClassName});
    void* object = nullptr;
    ASSERT_EQ(Addin().GetClassObject(ClassName.c_str(), &object), 1)
        << "GetClassObject(\"quorvel\") answered 0 (DISPLAY=" << DisplayName() << ")";
    Addin().DestroyObject(&object);
  }

  static std::string DisplayName() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr ? display : "unset";
  }

  // A new object of ClassName, started the platform's way.
  std::unique_ptr<v8host::TComponent> Create(const v8host::TStartOptions& AOptions = {}) {
    return std::make_unique<v8host::TComponent>(Addin(), Host, ClassName, AOptions);
  }

  std::u16string ClassName = kClassName;
  v8host::THost Host;
};

}  // namespace harness
