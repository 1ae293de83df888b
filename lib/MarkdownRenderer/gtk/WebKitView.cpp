#include "lib/MarkdownRenderer/gtk/WebKitView.h"

#include <dlfcn.h>

#include <mutex>

namespace help::gtk {

namespace {

using TNewView = GtkWidget* (*)();
using TLoadUri = void (*)(GtkWidget*, const char*);

struct TWebKit {
  TNewView NewView = nullptr;
  TLoadUri LoadUri = nullptr;
};

// WebKitGTK for GTK 3 comes in two builds: 4.1 (libsoup 3) and 4.0
// (libsoup 2). The two libsoups cannot share a process, so a build already
// loaded (by the platform, say) is taken first, and 4.1 only where no
// libsoup 2 is loaded.
void* OpenWebKit() noexcept {
  constexpr const char* V41 = "libwebkit2gtk-4.1.so.0";
  constexpr const char* V40 = "libwebkit2gtk-4.0.so.37";
  for (const char* Name : {V41, V40})
    if (void* Loaded = dlopen(Name, RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD)) return Loaded;
  const bool Soup2 = dlopen("libsoup-2.4.so.1", RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD) != nullptr;
  if (!Soup2)
    if (void* Loaded = dlopen(V41, RTLD_NOW | RTLD_LOCAL)) return Loaded;
  if (void* Loaded = dlopen(V40, RTLD_NOW | RTLD_LOCAL)) return Loaded;
  (void)dlerror();
  return nullptr;
}

const TWebKit& WebKit() noexcept {
  static TWebKit Instance;
  static std::once_flag Once;
  std::call_once(Once, [] {
    void* Library = OpenWebKit();
    if (!Library) return;
    auto* NewView = reinterpret_cast<TNewView>(dlsym(Library, "webkit_web_view_new"));
    auto* LoadUri = reinterpret_cast<TLoadUri>(dlsym(Library, "webkit_web_view_load_uri"));
    if (NewView && LoadUri) Instance = {NewView, LoadUri};
  });
  return Instance;
}

}  // namespace

GtkWidget* CreateWebView(const std::string& AUri) noexcept {
  const TWebKit& Api = WebKit();
  if (!Api.NewView) return nullptr;
  GtkWidget* View = Api.NewView();
  if (View) Api.LoadUri(View, AUri.c_str());
  return View;
}

}  // namespace help::gtk
