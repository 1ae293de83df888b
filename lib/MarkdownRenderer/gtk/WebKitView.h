#pragma once
// WebKitGTK's web view, when the machine has it. The library is loaded at
// run time (never a link dependency of the add-in) and stays loaded for the
// life of the process, as WebKit cannot be unloaded safely.
#include <gtk/gtk.h>

#include <string>

namespace help::gtk {

// A new web view that opens AUri, or null when WebKitGTK is not installed.
GtkWidget* CreateWebView(const std::string& AUri) noexcept;

}  // namespace help::gtk
