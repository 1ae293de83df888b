/* clipboard-text: prints the text on the X display's clipboard, as a GTK
   program that pastes would get it, for the end-to-end tests that read a
   window's text back after copying it there (Ctrl+A, Ctrl+C). Exit status 1
   when the clipboard holds no text. */
#include <gtk/gtk.h>
#include <stdio.h>

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  gchar* text = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
  if (text == NULL) return 1;
  fputs(text, stdout);
  g_free(text);
  return 0;
}
