#pragma once
// The built add-in, loaded once per test program, and a fixture for tests
// that create its objects through the harness.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "HarnessPaths.h"
#include "v8host/Component.h"
#include "v8host/Text.h"

namespace harness {

// The add-in at QUORVEL_ADDIN_PATH, loaded on first use and kept loaded.
inline v8host::TAddinLibrary& Addin() {
  static v8host::TAddinLibrary library = v8host::TAddinLibrary::Load(AddinPath());
  return library;
}

// Whether windows can be created: under Wine an object whose construction
// opens a window needs an X display.
inline bool HaveDisplay() {
#if defined(_WIN32)
  const char* display = std::getenv("DISPLAY");
  return display != nullptr && *display != '\0';
#else
  return true;
#endif
}

// Tests of the add-in's objects. Skipped while the add-in registers no class,
// and on Windows without a display when the object cannot be created.
class AddinObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto classes = Addin().ClassNames();
    if (classes.empty()) GTEST_SKIP() << "the add-in registers no class yet";
    ClassName = classes.front();
    void* object = nullptr;
    if (Addin().GetClassObject(ClassName.c_str(), &object) != 1) {
      if (!HaveDisplay()) GTEST_SKIP() << "no display: the add-in's object cannot create its window";
      FAIL() << "GetClassObject(\"" << v8host::ToUtf8(ClassName) << "\") answered 0";
    }
    Addin().DestroyObject(&object);
  }

  // A new object of ClassName (or AClass), started the platform's way.
  std::unique_ptr<v8host::TComponent> Create(const v8host::TStartOptions& AOptions = {}) {
    return std::make_unique<v8host::TComponent>(Addin(), Host, ClassName, AOptions);
  }

  std::u16string ClassName;
  v8host::THost Host;
};

}  // namespace harness
