// What the GTK window layer offers besides forms: the primary screen's
// width, the framework's message box for an error of an event handler, the
// file manager, and the processing of waiting events.
#include <gtk/gtk.h>

#include "common/Exception.h"
#include "common/Text.h"
#include "platform/ui/Form.h"
#include "platform/ui/Native.h"
#include "platform/ui/gtk/GtkSession.h"

namespace platform::ui {

int PrimaryScreenWidth() { return gtk::PrimaryMonitorArea().width; }

// Shown modally over the form whose handler failed; without a display
// there is no one to tell.
void HandleException(const TForm* AOwner, std::exception_ptr AError) noexcept {
  try {
    const std::string Message = ToUtf8(ExceptionMessage(AError));
    if (!gtk::HasDisplay()) return;
    GtkWindow* Parent = AOwner ? static_cast<GtkWindow*>(AOwner->Native().Handle()) : nullptr;
    GtkWidget* Box = gtk_message_dialog_new(Parent, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s",
                                            Message.c_str());
    if (AOwner) gtk_window_set_title(GTK_WINDOW(Box), ToUtf8(AOwner->Design().Caption).c_str());
    gtk_window_set_keep_above(GTK_WINDOW(Box), TRUE);
    gtk_dialog_run(GTK_DIALOG(Box));
    gtk_widget_destroy(Box);
  } catch (...) {
    // Nothing more can be shown without memory.
  }
}

void ShellExplore(const TForm*, const std::u16string& AFolder) {
  gtk::OpenUri(gtk::FileUri(AFolder), u"the folder \"" + AFolder + u"\"");
}

// Every event already waiting, and no more: a source that is always ready
// cannot keep the caller here.
void ProcessMessages() {
  for (int Step = 0; Step < 10000 && g_main_context_pending(nullptr); ++Step) g_main_context_iteration(nullptr, FALSE);
}

}  // namespace platform::ui
