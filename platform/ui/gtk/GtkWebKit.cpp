#include "platform/ui/gtk/GtkWebKit.h"

#include <dlfcn.h>

#include <mutex>

namespace platform::ui::gtk {

namespace {

using TNewView = GtkWidget* (*)();
using TLoadUri = void (*)(GtkWidget*, const char*);

struct TWebKit {
  TNewView NewView = nullptr;
  TLoadUri LoadUri = nullptr;
};

void* SystemOpen(const char* AName, int AFlags) { return dlopen(AName, AFlags); }

const TWebKit& WebKit() noexcept {
  static TWebKit Instance;
  static std::once_flag Once;
  std::call_once(Once, [] {
    void* Library = OpenWebKit(&SystemOpen);
    (void)dlerror();
    if (!Library) return;
    auto* NewView = reinterpret_cast<TNewView>(dlsym(Library, "webkit_web_view_new"));
    auto* LoadUri = reinterpret_cast<TLoadUri>(dlsym(Library, "webkit_web_view_load_uri"));
    if (NewView && LoadUri) Instance = {NewView, LoadUri};
  });
  return Instance;
}

}  // namespace

void* OpenWebKit(TOpenLibrary AOpen) noexcept {
  constexpr const char* V41 = "libwebkit2gtk-4.1.so.0";
  constexpr const char* V40 = "libwebkit2gtk-4.0.so.37";
  const auto Loaded = [AOpen](const char* AName) { return AOpen(AName, RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD); };
  for (const char* Name : {V41, V40})
    if (void* Library = Loaded(Name)) return Library;
  const bool Soup2 = Loaded("libsoup-2.4.so.1") != nullptr;
  const bool Soup3 = Loaded("libsoup-3.0.so.0") != nullptr;
  if (!Soup2)
    if (void* Library = AOpen(V41, RTLD_NOW | RTLD_LOCAL)) return Library;
  if (!Soup3)
    if (void* Library = AOpen(V40, RTLD_NOW | RTLD_LOCAL)) return Library;
  return nullptr;
}

bool WebKitAvailable() noexcept { return WebKit().NewView != nullptr; }

GtkWidget* CreateWebView(const std::string& AUri) noexcept {
  const TWebKit& Api = WebKit();
  if (!Api.NewView) return nullptr;
  GtkWidget* View = Api.NewView();
  if (View) Api.LoadUri(View, AUri.c_str());
  return View;
}

void LoadUri(GtkWidget* AView, const std::string& AUri) noexcept {
  if (const TWebKit& Api = WebKit(); Api.LoadUri && AView) Api.LoadUri(AView, AUri.c_str());
}

}  // namespace platform::ui::gtk
