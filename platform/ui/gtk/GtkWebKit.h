#pragma once
// WebKitGTK's web view, when the machine has it. The library is loaded at
// run time (never a link dependency of the add-in) and stays loaded for the
// life of the process, as WebKit cannot be unloaded safely.
#include <gtk/gtk.h>

#include <string>

namespace platform::ui::gtk {

// True when a WebKitGTK for GTK 3 can be used in this process.
bool WebKitAvailable() noexcept;

// A new web view that opens AUri, or null when WebKitGTK cannot be used.
GtkWidget* CreateWebView(const std::string& AUri) noexcept;
// Opens AUri in a view that CreateWebView made.
void LoadUri(GtkWidget* AView, const std::string& AUri) noexcept;

// Opens a library as dlopen does (a stand-in in the tests).
using TOpenLibrary = void* (*)(const char* AName, int AFlags);
// The WebKitGTK library to use, opened with AOpen, or null: a build already
// in the process comes first; otherwise 4.1 (libsoup 3) unless libsoup 2 is
// loaded, then 4.0 (libsoup 2) unless libsoup 3 is loaded. The two
// libsoups cannot share a process: libsoup stops it when it finds the
// other.
void* OpenWebKit(TOpenLibrary AOpen) noexcept;

}  // namespace platform::ui::gtk
