// The help window with GTK 3: a modal window whose web view (WebKitGTK)
// shows the page. Where WebKitGTK is not installed, the page opens in the
// user's default browser instead, and a small modal window under the same
// caption stays open until the user closes it, so that the page's
// temporary folder lives exactly as long.
#include "lib/MarkdownRenderer/ufmDocView.h"

#include <gtk/gtk.h>

#include "common/Text.h"
#include "lib/MarkdownRenderer/gtk/WebKitView.h"
#include "platform/ui/gtk/GtkSession.h"

namespace {

// The design: 633 × 425 at 120 pixels per inch, in GTK's 96.
constexpr int ViewWidth = 633 * 96 / 120;
constexpr int ViewHeight = 425 * 96 / 120;
constexpr int NoticeWidth = 360;
constexpr char BrowserNotice[] =
    "Справка открыта в браузере.\nЗакройте это окно, когда она больше не нужна: вместе с ним удаляются временные "
    "файлы справки.";

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer AData) noexcept {
  *static_cast<bool*>(AData) = true;
  return TRUE;
}

// The window to show: with the web view, or the notice after the page has
// gone to the browser.
GtkWidget* CreateWindow(const std::u16string& AHtmlFilePath, const std::u16string& ACaption) {
  const std::string Uri = platform::ui::gtk::FileUri(AHtmlFilePath);
  GtkWidget* Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(Window), ToUtf8(ACaption).c_str());
  gtk_window_set_position(GTK_WINDOW(Window), GTK_WIN_POS_CENTER);
  if (GtkWidget* View = help::gtk::CreateWebView(Uri)) {
    gtk_window_set_default_size(GTK_WINDOW(Window), ViewWidth, ViewHeight);
    gtk_container_add(GTK_CONTAINER(Window), View);
    return Window;
  }
  try {
    platform::ui::gtk::OpenUri(Uri, u"the help page \"" + AHtmlFilePath + u"\"");
  } catch (...) {
    gtk_widget_destroy(Window);
    throw;
  }
  GtkWidget* Notice = gtk_label_new(BrowserNotice);
  gtk_label_set_line_wrap(GTK_LABEL(Notice), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(Notice), 40);
  g_object_set(Notice, "margin", 16, nullptr);
  gtk_window_set_default_size(GTK_WINDOW(Window), NoticeWidth, -1);
  gtk_window_set_resizable(GTK_WINDOW(Window), FALSE);
  gtk_container_add(GTK_CONTAINER(Window), Notice);
  return Window;
}

}  // namespace

struct TfrmDocView::TImpl {};

TfrmDocView::TfrmDocView(const std::u16string& AHtmlFilePath, const std::u16string& ACaption)
    : FHtmlFilePath(AHtmlFilePath), FCaption(ACaption) {}

TfrmDocView::~TfrmDocView() = default;

void TfrmDocView::ShowModal() {
  platform::ui::gtk::RequireDisplay();
  GtkWidget* Window = CreateWindow(FHtmlFilePath, FCaption);
  struct TDestroy {
    GtkWidget* Window;
    ~TDestroy() {
      gtk_widget_destroy(Window);
      platform::ui::gtk::FlushDisplay();
    }
  } Destroy{Window};
  bool Closed = false;
  g_signal_connect(Window, "delete-event", G_CALLBACK(&OnDelete), &Closed);
  gtk_widget_show_all(Window);
  platform::ui::gtk::RunModalLoop(GTK_WINDOW(Window), [&Closed] { return Closed; });
}
