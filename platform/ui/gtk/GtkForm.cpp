// The GTK 3 side of the window layer. A form's GTK window is made when it is
// first needed (shown, measured), from the state the shared classes hold,
// so a form can be created where no display exists; from then on every
// change of that state is mirrored into the widgets.
//
// Sizes of a design are converted to GTK's logical pixels (96 per inch);
// GTK itself scales those to the screen (GDK_SCALE). Positions given to a
// form are relative to the primary monitor's top left corner, as Windows
// places its primary screen at the origin.
#include <gtk/gtk.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "common/Exception.h"
#include "common/Text.h"
#include "platform/ui/Form.h"
#include "platform/ui/Native.h"
#include "platform/ui/gtk/GtkBitmap.h"
#include "platform/ui/gtk/GtkKeys.h"
#include "platform/ui/gtk/GtkSession.h"
#include "platform/ui/gtk/GtkWebKit.h"

namespace platform::ui {

namespace {

using gtk::TObjectRef;

constexpr int LogicalPixelsPerInch = 96;
constexpr char PageKey[] = "quorvel-page";

// Tab buttons as small as their captions, so that four fit the tag window.
constexpr char TabButtonCss[] = "button { padding: 0px 6px; min-height: 16px; min-width: 10px; }";
constexpr char GlyphButtonCss[] = "button { padding: 1px; min-height: 0px; min-width: 0px; }";
// The window of a browser's notice (no WebKitGTK): this wide, in logical
// pixels, and as high as the text.
constexpr int NoticeWidth = 360;

void AddCss(GtkWidget* AWidget, const std::string& ACss) {
  TObjectRef<GtkCssProvider> Provider(gtk_css_provider_new());
  gtk_css_provider_load_from_data(Provider.Object, ACss.c_str(), -1, nullptr);
  gtk_style_context_add_provider(gtk_widget_get_style_context(AWidget), GTK_STYLE_PROVIDER(Provider.Object),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

std::string CssColor(std::uint32_t ARgb) {
  char Text[8];
  g_snprintf(Text, sizeof Text, "#%06x", static_cast<unsigned>(ARgb & 0xFFFFFF));
  return Text;
}

// Code points before the UTF-16 offset AOffset of AText, and back: GTK's
// text buffer counts characters, the shared memo counts UTF-16 units.
int CodePointsBefore(const std::u16string& AText, int AOffset) noexcept {
  int Count = 0;
  const std::size_t End = std::min<std::size_t>(AText.size(), AOffset < 0 ? 0 : static_cast<std::size_t>(AOffset));
  for (std::size_t I = 0; I < End; ++I)
    if (!(AText[I] >= 0xDC00 && AText[I] <= 0xDFFF && I > 0 && AText[I - 1] >= 0xD800 && AText[I - 1] <= 0xDBFF))
      ++Count;
  return Count;
}

// A browser's address as a URI: a local path becomes a file:// URI.
std::string BrowserUri(const TWebBrowser& ABrowser) {
  const std::u16string& Url = ABrowser.LocationURL();
  if (Url.empty() || Url.find(u"://") != std::u16string::npos) return ToUtf8(Url);
  return gtk::FileUri(Url);
}

// Where no browser engine can be embedded, the page goes to the default
// browser.
void OpenExternally(const TWebBrowser& ABrowser) {
  if (!ABrowser.LocationURL().empty())
    gtk::OpenUri(BrowserUri(ABrowser), u"the page \"" + ABrowser.LocationURL() + u"\"");
}

int Utf16Offset(const std::u16string& AText, int ACodePoints) noexcept {
  std::size_t I = 0;
  for (int Seen = 0; I < AText.size() && Seen < ACodePoints; ++Seen)
    I += (AText[I] >= 0xD800 && AText[I] <= 0xDBFF && I + 1 < AText.size()) ? 2 : 1;
  return static_cast<int>(I);
}

class TGtkForm;

// The widget that stands for one control.
struct TNativeControl {
  TGtkForm* Owner = nullptr;
  TControl* Control = nullptr;
  GtkWidget* Widget = nullptr;  // placed in the window
  GtkWidget* Inner = nullptr;   // the image, text view or list inside it
  std::uint64_t PictureGeneration = 0;
};

struct TTimerSource {
  TGtkForm* Owner = nullptr;
  TTimer* Timer = nullptr;
  guint Id = 0;
};

class TGtkForm final : public INativeForm {
public:
  explicit TGtkForm(TForm& AForm) : FForm(AForm), FLeft(AForm.Design().Left), FTop(AForm.Design().Top) {}
  ~TGtkForm() override;

  void SetVisible(bool AVisible) override;
  void SetPosition(int ALeft, int ATop) override;
  TSize OuterSize() const override;
  void SetAlpha(bool AAlphaBlend, std::uint8_t AValue) override;
  void MakeTopmost() override;
  void ControlAdded(TControl& AControl) override;
  void ControlChanged(TControl& AControl) override;
  void MemoRequest(TMemo& AMemo, TMemoRequest ARequest, int AOffset) override;
  std::optional<int> MemoSelStart(const TMemo& AMemo) const override;
  void RunModal() override;
  void* Handle() const noexcept override { return FWindow; }
  void* ControlHandle(const TControl& AControl) const noexcept override;

private:
  int Scale(int AValue) const noexcept {
    return static_cast<int>(static_cast<long long>(AValue) * LogicalPixelsPerInch / FForm.Design().PixelsPerInch);
  }
  TSize ClientSize() const noexcept;
  void EnsureWindow();
  void BuildWindow();
  GtkWidget* TopArea();
  void AddWidget(TControl& AControl);
  void AddPageControl(TPageControl& APageControl);
  void AddImage(TImage& AImage);
  void AddComboBox(TComboBox& AComboBox);
  void AddMemo(TMemo& AMemo);
  void AddButton(TButton& AButton);
  void AddTimer(TTimer& ATimer);
  void AddWebBrowser(TWebBrowser& ABrowser);
  TNativeControl& Remember(TControl& AControl, GtkWidget* AWidget, GtkWidget* AInner);
  void Connect(gpointer AInstance, const char* ASignal, GCallback AHandler, gpointer AData);
  void ApplyPosition();
  void ApplyOpacity();
  void SyncAll();
  void SyncPageControl();
  void SyncImage(TNativeControl& AImage);
  void SyncComboBox(TNativeControl& AComboBox);
  void SyncMemo(TNativeControl& AMemo);
  void SyncTimer(TTimerSource& ASource);
  TNativeControl* Find(const TControl& AControl) noexcept;

  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer AData) noexcept;
  static gboolean OnKeyPress(GtkWidget* AWindow, GdkEventKey* AEvent, gpointer AData) noexcept;
  static void OnTabToggled(GtkToggleButton* AButton, gpointer AData) noexcept;
  static gboolean OnImagePress(GtkWidget*, GdkEventButton* AEvent, gpointer AData) noexcept;
  static void OnComboChanged(GtkComboBox* ACombo, gpointer AData) noexcept;
  static void OnComboPopup(GObject* ACombo, GParamSpec*, gpointer AData) noexcept;
  static void OnButtonClicked(GtkButton*, gpointer AData) noexcept;
  static gboolean OnTimer(gpointer AData) noexcept;

  TForm& FForm;
  int FLeft;
  int FTop;
  int FScale = 1;  // device pixels per logical pixel, for crisp pictures
  TSize FFrame;    // what the frame adds to the client area, once known
  double FOpacity = 1.0;
  GtkWidget* FWindow = nullptr;
  GtkWidget* FRoot = nullptr;
  GtkWidget* FTopArea = nullptr;
  GtkWidget* FPageArea = nullptr;
  TPageControl* FPageControl = nullptr;
  std::vector<GtkWidget*> FTabButtons;
  std::map<const TControl*, TNativeControl> FControls;
  std::map<const TTimer*, std::unique_ptr<TTimerSource>> FTimers;
  std::vector<std::pair<gpointer, gulong>> FConnected;  // instance, handler
  int FTopHeight = 0;
  bool FSyncing = false;
  bool FInTimer = false;
  bool FNoticeOnly = false;  // a browser's notice stands in for its page
};

TGtkForm::~TGtkForm() {
  for (auto& [Timer, Source] : FTimers)
    if (Source->Id) g_source_remove(Source->Id);
  // No handler of ours may run while GTK takes the widgets apart.
  for (const auto& [Widget, Handler] : FConnected) g_signal_handler_disconnect(Widget, Handler);
  if (FWindow) {
    gtk_widget_destroy(FWindow);
    gtk::FlushDisplay();
  }
}

void TGtkForm::Connect(gpointer AInstance, const char* ASignal, GCallback AHandler, gpointer AData) {
  FConnected.emplace_back(AInstance, g_signal_connect(AInstance, ASignal, AHandler, AData));
}

TSize TGtkForm::ClientSize() const noexcept {
  const auto& D = FForm.Design();
  TSize Size{Scale(D.ClientWidth), Scale(D.ClientHeight)};
  if (FWindow && gtk_widget_get_realized(FWindow)) gtk_window_get_size(GTK_WINDOW(FWindow), &Size.Width, &Size.Height);
  return Size;
}

void TGtkForm::EnsureWindow() {
  if (FWindow) return;
  gtk::RequireDisplay();
  BuildWindow();
}

void TGtkForm::BuildWindow() {
  const auto& D = FForm.Design();
  // A page that goes to the default browser goes before any window is
  // made, so that a failure leaves none behind.
  if (!gtk::WebKitAvailable())
    for (const auto& Control : FForm.Components())
      if (const auto* Browser = dynamic_cast<const TWebBrowser*>(Control.get())) OpenExternally(*Browser);
  FScale = gtk::PrimaryMonitorScale();
  FWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* Window = GTK_WINDOW(FWindow);
  gtk_window_set_title(Window, ToUtf8(D.Caption).c_str());
  if (D.BorderStyle == TBorderStyle::bsToolWindow) {
    // A small window of utilities: no taskbar entry, no close button.
    gtk_window_set_type_hint(Window, GDK_WINDOW_TYPE_HINT_UTILITY);
    gtk_window_set_skip_taskbar_hint(Window, TRUE);
    gtk_window_set_skip_pager_hint(Window, TRUE);
    gtk_window_set_deletable(Window, FALSE);
    gtk_window_set_resizable(Window, FALSE);
    // It appears without taking the keyboard from the window the user works
    // in, and takes it when the user clicks or activates it.
    gtk_window_set_focus_on_map(Window, FALSE);
  } else {
    gtk_window_set_default_size(Window, Scale(D.ClientWidth), Scale(D.ClientHeight));
  }
  // The form's font and colour, inherited by its controls.
  AddCss(FWindow, "* { background-color: " + CssColor(D.Color) + "; font-family: \"" + ToUtf8(D.FontName) +
                      "\", sans-serif; font-size: " + std::to_string(Scale(-D.FontHeight > 0 ? -D.FontHeight : 11)) +
                      "px; }");
  Connect(FWindow, "delete-event", G_CALLBACK(&OnDelete), this);
  Connect(FWindow, "key-press-event", G_CALLBACK(&OnKeyPress), this);

  FRoot = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  if (D.BorderStyle == TBorderStyle::bsToolWindow) gtk_widget_set_size_request(FRoot, Scale(D.ClientWidth), Scale(D.ClientHeight));
  gtk_container_add(GTK_CONTAINER(FWindow), FRoot);
  for (const auto& Control : FForm.Components())
    if (!dynamic_cast<TTimer*>(Control.get())) AddWidget(*Control);
  gtk_widget_show_all(FRoot);

  if (D.Position == TPosition::poScreenCenter) {
    const GdkRectangle Area = gtk::PrimaryMonitorArea();
    gtk_window_set_gravity(Window, GDK_GRAVITY_CENTER);
    TSize Client = ClientSize();
    if (FNoticeOnly) {
      GtkRequisition Natural;
      gtk_widget_get_preferred_size(FWindow, nullptr, &Natural);
      Client = {std::max(Natural.width, NoticeWidth), Natural.height};
    }
    gtk_window_move(Window, Area.x + (Area.width - Client.Width) / 2, Area.y + (Area.height - Client.Height) / 2);
  } else {
    ApplyPosition();
  }
  SetAlpha(FForm.AlphaBlend(), FForm.AlphaBlendValue());
  if (FForm.Topmost()) gtk_window_set_keep_above(Window, TRUE);
  SyncAll();
}

// The band along the top that holds the controls placed by coordinates.
GtkWidget* TGtkForm::TopArea() {
  if (!FTopArea) {
    FTopArea = gtk_fixed_new();
    gtk_box_pack_start(GTK_BOX(FRoot), FTopArea, FALSE, FALSE, 0);
    gtk_box_reorder_child(GTK_BOX(FRoot), FTopArea, 0);
  }
  return FTopArea;
}

void TGtkForm::AddWidget(TControl& AControl) {
  if (auto* PageControl = dynamic_cast<TPageControl*>(&AControl)) {
    AddPageControl(*PageControl);
  } else if (auto* Image = dynamic_cast<TImage*>(&AControl)) {
    AddImage(*Image);
  } else if (dynamic_cast<TPanel*>(&AControl)) {
    // A panel draws nothing: it only takes its band of the client area.
    FTopHeight += Scale(AControl.Bounds().Height);
    gtk_widget_set_size_request(TopArea(), -1, FTopHeight);
  } else if (auto* ComboBox = dynamic_cast<TComboBox*>(&AControl)) {
    AddComboBox(*ComboBox);
  } else if (auto* Memo = dynamic_cast<TMemo*>(&AControl)) {
    AddMemo(*Memo);
  } else if (auto* Button = dynamic_cast<TButton*>(&AControl)) {
    AddButton(*Button);
  } else if (auto* Browser = dynamic_cast<TWebBrowser*>(&AControl)) {
    AddWebBrowser(*Browser);
  }
}

TNativeControl& TGtkForm::Remember(TControl& AControl, GtkWidget* AWidget, GtkWidget* AInner) {
  auto& Native = FControls[&AControl];
  Native.Owner = this;
  Native.Control = &AControl;
  Native.Widget = AWidget;
  Native.Inner = AInner;
  return Native;
}

// The page control: a row of toggle buttons, one per page, over the area
// where the active page's images lie.
void TGtkForm::AddPageControl(TPageControl& APageControl) {
  if (FPageControl) throw Exception(u"A form holds one page control");
  FPageControl = &APageControl;
  GtkWidget* Row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
  for (int Page = 0; Page < APageControl.PageCount(); ++Page) {
    GtkWidget* Button = gtk_toggle_button_new_with_label(ToUtf8(APageControl.PageCaption(Page)).c_str());
    AddCss(Button, TabButtonCss);
    gtk_widget_set_can_focus(Button, FALSE);
    g_object_set_data(G_OBJECT(Button), PageKey, GINT_TO_POINTER(Page));
    Connect(Button, "toggled", G_CALLBACK(&OnTabToggled), this);
    gtk_box_pack_start(GTK_BOX(Row), Button, FALSE, FALSE, 0);
    FTabButtons.push_back(Button);
  }
  gtk_box_pack_start(GTK_BOX(FRoot), Row, FALSE, FALSE, 0);
  FPageArea = gtk_fixed_new();
  gtk_box_pack_start(GTK_BOX(FRoot), FPageArea, TRUE, TRUE, 0);
  Remember(APageControl, Row, FPageArea);
}

void TGtkForm::AddImage(TImage& AImage) {
  if (!FPageArea) throw Exception(u"An image needs a page control");
  const TRect& B = AImage.Bounds();
  GtkWidget* Box = gtk_event_box_new();
  GtkWidget* Picture = gtk_image_new();
  gtk_widget_set_halign(Picture, GTK_ALIGN_START);
  gtk_widget_set_valign(Picture, GTK_ALIGN_START);
  gtk_container_add(GTK_CONTAINER(Box), Picture);
  gtk_widget_set_size_request(Box, Scale(B.Width), Scale(B.Height));
  gtk_fixed_put(GTK_FIXED(FPageArea), Box, Scale(B.Left), Scale(B.Top));
  auto& Native = Remember(AImage, Box, Picture);
  Connect(Box, "button-press-event", G_CALLBACK(&OnImagePress), &Native);
}

void TGtkForm::AddComboBox(TComboBox& AComboBox) {
  const TRect& B = AComboBox.Bounds();
  GtkWidget* Combo = gtk_combo_box_text_new();
  gtk_widget_set_size_request(Combo, Scale(B.Width), -1);
  gtk_fixed_put(GTK_FIXED(TopArea()), Combo, Scale(B.Left), Scale(B.Top));
  auto& Native = Remember(AComboBox, Combo, Combo);
  Connect(Combo, "changed", G_CALLBACK(&OnComboChanged), &Native);
  Connect(Combo, "notify::popup-shown", G_CALLBACK(&OnComboPopup), &Native);
}

// A read-only text box whose long lines wrap; the caret stays visible so
// that the user can place it.
void TGtkForm::AddMemo(TMemo& AMemo) {
  GtkWidget* Scroller = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(Scroller), GTK_SHADOW_IN);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(Scroller), GTK_POLICY_AUTOMATIC, GTK_POLICY_ALWAYS);
  GtkWidget* View = gtk_text_view_new();
  gtk_text_view_set_editable(GTK_TEXT_VIEW(View), FALSE);
  gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(View), TRUE);
  gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(View), GTK_WRAP_WORD_CHAR);
  AddCss(View, "textview, text { background-color: #ffffff; }");
  gtk_container_add(GTK_CONTAINER(Scroller), View);
  if (AMemo.Align() == TAlign::alNone) {
    const TRect& B = AMemo.Bounds();
    gtk_widget_set_size_request(Scroller, Scale(B.Width), Scale(B.Height));
    gtk_fixed_put(GTK_FIXED(TopArea()), Scroller, Scale(B.Left), Scale(B.Top));
  } else {
    gtk_box_pack_start(GTK_BOX(FRoot), Scroller, AMemo.Align() == TAlign::alClient,
                       AMemo.Align() == TAlign::alClient, 0);
  }
  Remember(AMemo, Scroller, View);
}

void TGtkForm::AddButton(TButton& AButton) {
  const TRect& B = AButton.Bounds();
  GtkWidget* Button = gtk_button_new();
  AddCss(Button, GlyphButtonCss);
  gtk_widget_set_size_request(Button, Scale(B.Width), Scale(B.Height));
  if (const TBitmap* Glyph = AButton.Glyph()) {
    cairo_surface_t* Surface = gtk::CreatePictureSurface(*Glyph, FScale);
    gtk_button_set_image(GTK_BUTTON(Button), gtk_image_new_from_surface(Surface));
    cairo_surface_destroy(Surface);
  }
  gtk_fixed_put(GTK_FIXED(TopArea()), Button, Scale(B.Left), Scale(B.Top));
  auto& Native = Remember(AButton, Button, Button);
  Connect(Button, "clicked", G_CALLBACK(&OnButtonClicked), &Native);
}

// A web browser: WebKitGTK's view where the machine has it; otherwise the
// page has gone to the default browser, and the control's notice stands in
// its place, in a window just large enough for it.
void TGtkForm::AddWebBrowser(TWebBrowser& ABrowser) {
  GtkWidget* Widget = gtk::WebKitAvailable() ? gtk::CreateWebView(BrowserUri(ABrowser)) : nullptr;
  if (!Widget) {
    Widget = gtk_label_new(ToUtf8(ABrowser.ExternalNotice()).c_str());
    gtk_label_set_line_wrap(GTK_LABEL(Widget), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(Widget), 40);
    g_object_set(Widget, "margin", 16, nullptr);
    gtk_window_set_default_size(GTK_WINDOW(FWindow), NoticeWidth, -1);
    gtk_window_set_resizable(GTK_WINDOW(FWindow), FALSE);
    FNoticeOnly = true;
  }
  gtk_box_pack_start(GTK_BOX(FRoot), Widget, TRUE, TRUE, 0);
  Remember(ABrowser, Widget, Widget);
}

// Timers need no window: they are sources of GLib's default main context,
// running from creation while enabled, as window timers do.
void TGtkForm::AddTimer(TTimer& ATimer) {
  auto Source = std::make_unique<TTimerSource>();
  Source->Owner = this;
  Source->Timer = &ATimer;
  auto& Added = *FTimers.emplace(&ATimer, std::move(Source)).first->second;
  SyncTimer(Added);
}

void TGtkForm::ControlAdded(TControl& AControl) {
  if (auto* Timer = dynamic_cast<TTimer*>(&AControl)) {
    AddTimer(*Timer);
    return;
  }
  if (!FWindow) return;  // built with the window
  AddWidget(AControl);
  if (auto* Native = Find(AControl)) gtk_widget_show_all(Native->Widget);
  SyncAll();
}

void TGtkForm::ControlChanged(TControl& AControl) {
  if (auto* Timer = dynamic_cast<TTimer*>(&AControl)) {
    if (auto Found = FTimers.find(Timer); Found != FTimers.end()) SyncTimer(*Found->second);
    return;
  }
  if (!FWindow) return;
  if (&AControl == FPageControl) {
    SyncPageControl();
    return;
  }
  auto* Native = Find(AControl);
  if (!Native) return;
  if (auto* Browser = dynamic_cast<TWebBrowser*>(&AControl)) {
    if (FNoticeOnly)
      OpenExternally(*Browser);
    else
      gtk::LoadUri(Native->Widget, BrowserUri(*Browser));
    return;
  }
  if (dynamic_cast<TImage*>(&AControl)) SyncImage(*Native);
  if (dynamic_cast<TComboBox*>(&AControl)) SyncComboBox(*Native);
  if (dynamic_cast<TMemo*>(&AControl)) SyncMemo(*Native);
}

TNativeControl* TGtkForm::Find(const TControl& AControl) noexcept {
  const auto Found = FControls.find(&AControl);
  return Found == FControls.end() ? nullptr : &Found->second;
}

void* TGtkForm::ControlHandle(const TControl& AControl) const noexcept {
  const auto Found = FControls.find(&AControl);
  return Found == FControls.end() ? nullptr : Found->second.Widget;
}

void TGtkForm::SyncAll() {
  SyncPageControl();
  for (auto& [Control, Native] : FControls) {
    if (dynamic_cast<TImage*>(Native.Control)) SyncImage(Native);
    if (dynamic_cast<TComboBox*>(Native.Control)) SyncComboBox(Native);
    if (dynamic_cast<TMemo*>(Native.Control)) SyncMemo(Native);
  }
}

// Hidden pages have no button; the active page's button is the pressed
// one, and only that page's images are shown.
void TGtkForm::SyncPageControl() {
  if (!FPageControl) return;
  FSyncing = true;
  for (int Page = 0; Page < static_cast<int>(FTabButtons.size()); ++Page) {
    gtk_widget_set_visible(FTabButtons[static_cast<std::size_t>(Page)], FPageControl->TabVisible(Page));
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(FTabButtons[static_cast<std::size_t>(Page)]),
                                 Page == FPageControl->ActivePage());
  }
  FSyncing = false;
  for (auto& [Control, Native] : FControls)
    if (dynamic_cast<TImage*>(Native.Control)) SyncImage(Native);
}

void TGtkForm::SyncImage(TNativeControl& AImage) {
  const auto& Image = static_cast<const TImage&>(*AImage.Control);
  if (const TBitmap* Picture = Image.Picture(); Picture && AImage.PictureGeneration != Image.PictureGeneration()) {
    cairo_surface_t* Surface = gtk::CreatePictureSurface(*Picture, FScale);
    gtk_image_set_from_surface(GTK_IMAGE(AImage.Inner), Surface);
    cairo_surface_destroy(Surface);
    AImage.PictureGeneration = Image.PictureGeneration();
  }
  gtk_widget_set_visible(AImage.Widget, Image.Visible() && Image.Page() == Image.Parent().ActivePage());
  const bool Hint = Image.ShowHint() && !Image.Hint().empty();
  gtk_widget_set_tooltip_text(AImage.Widget, Hint ? ToUtf8(Image.Hint()).c_str() : nullptr);
}

// The list shows the items in the order the shared list keeps them; it is
// rebuilt only when they differ, so that an open list is not disturbed.
void TGtkForm::SyncComboBox(TNativeControl& AComboBox) {
  const auto& Combo = static_cast<const TComboBox&>(*AComboBox.Control);
  GtkComboBox* Widget = GTK_COMBO_BOX(AComboBox.Inner);
  GtkTreeModel* Model = gtk_combo_box_get_model(Widget);
  FSyncing = true;
  bool Same = gtk_tree_model_iter_n_children(Model, nullptr) == static_cast<int>(Combo.Items().size());
  GtkTreeIter Iter;
  bool More = Same && gtk_tree_model_get_iter_first(Model, &Iter);
  for (std::size_t I = 0; Same && More && I < Combo.Items().size(); ++I) {
    gchar* Text = nullptr;
    gtk_tree_model_get(Model, &Iter, 0, &Text, -1);
    Same = Text && ToUtf8(Combo.Items()[I]) == Text;
    g_free(Text);
    More = gtk_tree_model_iter_next(Model, &Iter);
  }
  if (!Same) {
    gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(Widget));
    for (const auto& Item : Combo.Items()) gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(Widget), ToUtf8(Item).c_str());
  }
  gtk_combo_box_set_active(Widget, Combo.ItemIndex());
  FSyncing = false;
}

void TGtkForm::SyncMemo(TNativeControl& AMemo) {
  const auto& Memo = static_cast<const TMemo&>(*AMemo.Control);
  GtkTextBuffer* Buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(AMemo.Inner));
  const std::string Text = ToUtf8(Memo.Text());
  gtk_text_buffer_set_text(Buffer, Text.data(), static_cast<gint>(Text.size()));
}

void TGtkForm::SyncTimer(TTimerSource& ASource) {
  if (ASource.Id) {
    g_source_remove(ASource.Id);
    ASource.Id = 0;
  }
  if (ASource.Timer->Enabled())
    ASource.Id = g_timeout_add(static_cast<guint>(ASource.Timer->Interval()), &OnTimer, &ASource);
}

void TGtkForm::MemoRequest(TMemo& AMemo, TMemoRequest ARequest, int AOffset) {
  auto* Native = FWindow ? Find(AMemo) : nullptr;
  if (!Native) return;
  GtkTextView* View = GTK_TEXT_VIEW(Native->Inner);
  GtkTextBuffer* Buffer = gtk_text_view_get_buffer(View);
  switch (ARequest) {
    case TMemoRequest::mrSetSelStart: {
      GtkTextIter At;
      gtk_text_buffer_get_iter_at_offset(Buffer, &At, CodePointsBefore(AMemo.Text(), AOffset));
      gtk_text_buffer_place_cursor(Buffer, &At);
      break;
    }
    case TMemoRequest::mrScrollCaret:
      gtk_text_view_scroll_to_mark(View, gtk_text_buffer_get_insert(Buffer), 0.0, FALSE, 0.0, 0.0);
      break;
    case TMemoRequest::mrSetFocus:
      gtk_widget_grab_focus(Native->Inner);
      break;
    case TMemoRequest::mrBeginUpdate:
    case TMemoRequest::mrEndUpdate:
      // GTK draws from the main loop only, after the handler has returned.
      break;
  }
}

std::optional<int> TGtkForm::MemoSelStart(const TMemo& AMemo) const {
  const auto Found = FControls.find(&AMemo);
  if (!FWindow || Found == FControls.end()) return std::nullopt;
  GtkTextBuffer* Buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(Found->second.Inner));
  GtkTextIter Caret;
  gtk_text_buffer_get_iter_at_mark(Buffer, &Caret, gtk_text_buffer_get_insert(Buffer));
  return Utf16Offset(AMemo.Text(), gtk_text_iter_get_offset(&Caret));
}

void TGtkForm::SetVisible(bool AVisible) {
  if (!AVisible) {
    if (!FWindow) return;
    if (GdkWindow* Own = gtk_widget_get_window(FWindow); Own && gtk_widget_get_mapped(FWindow)) {
      GdkRectangle Frame;
      gdk_window_get_frame_extents(Own, &Frame);
      const TSize Client = ClientSize();
      FFrame = {std::max(0, Frame.width - Client.Width), std::max(0, Frame.height - Client.Height)};
    }
    gtk_widget_hide(FWindow);
    gtk::FlushDisplay();
    return;
  }
  EnsureWindow();
  // Whatever the window is, it is before it is mapped: without a window
  // manager no one would apply a later change of its state.
  gtk_window_set_modal(GTK_WINDOW(FWindow), FForm.Modal());
  gtk_widget_realize(FWindow);
  ApplyOpacity();
  gtk_widget_show(FWindow);
  gtk::FlushDisplay();
}

// The outer size, frame included, once the window has been on screen; the
// client size before (the window manager draws the frame).
TSize TGtkForm::OuterSize() const {
  const TSize Client = ClientSize();
  if (FWindow && gtk_widget_get_mapped(FWindow)) {
    if (GdkWindow* Own = gtk_widget_get_window(FWindow)) {
      GdkRectangle Frame;
      gdk_window_get_frame_extents(Own, &Frame);
      return {std::max(Frame.width, Client.Width), std::max(Frame.height, Client.Height)};
    }
  }
  return {Client.Width + FFrame.Width, Client.Height + FFrame.Height};
}

void TGtkForm::SetPosition(int ALeft, int ATop) {
  FLeft = ALeft;
  FTop = ATop;
  if (FWindow) ApplyPosition();
}

// The frame's top right corner goes where the form's outer width puts it:
// with north-east gravity the window manager keeps the frame's right edge
// there whatever frame it draws.
void TGtkForm::ApplyPosition() {
  const GdkRectangle Area = gtk::PrimaryMonitorArea();
  const int Right = FLeft + OuterSize().Width;
  gtk_window_set_gravity(GTK_WINDOW(FWindow), GDK_GRAVITY_NORTH_EAST);
  gtk_window_move(GTK_WINDOW(FWindow), Area.x + Right - ClientSize().Width, Area.y + FTop);
}

void TGtkForm::SetAlpha(bool AAlphaBlend, std::uint8_t AValue) {
  FOpacity = AAlphaBlend ? AValue / 255.0 : 1.0;
  if (!FWindow) return;
  gtk_widget_set_opacity(FWindow, FOpacity);
  ApplyOpacity();
}

// GTK hands a toplevel's opacity to its X window only while that window
// exists, so it is given again once the window has been realised.
void TGtkForm::ApplyOpacity() {
  if (GdkWindow* Own = gtk_widget_get_window(FWindow)) gdk_window_set_opacity(Own, FOpacity);
}

void TGtkForm::MakeTopmost() {
  if (FWindow) gtk_window_set_keep_above(GTK_WINDOW(FWindow), TRUE);
}

void TGtkForm::RunModal() {
  if (!FWindow) return;
  gtk::RunModalLoop(GTK_WINDOW(FWindow), [this] { return FForm.ModalEnded(); });
}

gboolean TGtkForm::OnDelete(GtkWidget*, GdkEvent*, gpointer AData) noexcept {
  auto* Self = static_cast<TGtkForm*>(AData);
  RunHandler(&Self->FForm, [Self] { Self->FForm.CloseRequested(); });
  return TRUE;  // the form decides; the window is never destroyed here
}

// Keys reach the form while it has the keyboard itself, as on Windows: a
// control that has the focus (a text box, a list) keeps its own keys. The
// page keys move between the pages of the form's page control; a typed
// character goes to the form's KeyPress.
gboolean TGtkForm::OnKeyPress(GtkWidget* AWindow, GdkEventKey* AEvent, gpointer AData) noexcept {
  auto* Self = static_cast<TGtkForm*>(AData);
  if (gtk_window_get_focus(GTK_WINDOW(AWindow))) return FALSE;
  const gtk::TFormKey Key = gtk::TranslateKey(AEvent->keyval, AEvent->state);
  if (Key.PageStep != 0 && Self->FPageControl) {
    RunHandler(&Self->FForm, [Self, Key] { Self->FForm.PageKey(Key.PageStep > 0); });
    return TRUE;
  }
  if (Key.Char == 0) return FALSE;
  RunHandler(&Self->FForm, [Self, Key] { Self->FForm.KeyPress(Key.Char); });
  return TRUE;
}

void TGtkForm::OnTabToggled(GtkToggleButton* AButton, gpointer AData) noexcept {
  auto* Self = static_cast<TGtkForm*>(AData);
  if (Self->FSyncing) return;
  const int Page = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(AButton), PageKey));
  RunHandler(&Self->FForm, [Self, Page] {
    Self->FPageControl->SetActivePage(Page);
    // A click on the pressed button leaves it pressed.
    Self->SyncPageControl();
  });
}

gboolean TGtkForm::OnImagePress(GtkWidget*, GdkEventButton* AEvent, gpointer AData) noexcept {
  auto* Native = static_cast<TNativeControl*>(AData);
  if (AEvent->type != GDK_2BUTTON_PRESS || AEvent->button != 1) return FALSE;
  auto* Image = static_cast<TImage*>(Native->Control);
  RunHandler(&Native->Owner->FForm, [Image] { Image->DblClick(); });
  return TRUE;
}

void TGtkForm::OnComboChanged(GtkComboBox* ACombo, gpointer AData) noexcept {
  auto* Native = static_cast<TNativeControl*>(AData);
  if (Native->Owner->FSyncing) return;
  const int Index = gtk_combo_box_get_active(ACombo);
  if (Index < 0) return;
  auto* Combo = static_cast<TComboBox*>(Native->Control);
  RunHandler(&Native->Owner->FForm, [Combo, Index] { Combo->Select(Index); });
}

void TGtkForm::OnComboPopup(GObject* ACombo, GParamSpec*, gpointer AData) noexcept {
  auto* Native = static_cast<TNativeControl*>(AData);
  gboolean Shown = FALSE;
  g_object_get(ACombo, "popup-shown", &Shown, nullptr);
  if (!Shown) return;
  auto* Combo = static_cast<TComboBox*>(Native->Control);
  RunHandler(&Native->Owner->FForm, [Combo] { Combo->DropDown(); });
}

void TGtkForm::OnButtonClicked(GtkButton*, gpointer AData) noexcept {
  auto* Native = static_cast<TNativeControl*>(AData);
  auto* Button = static_cast<TButton*>(Native->Control);
  RunHandler(&Native->Owner->FForm, [Button] { Button->Click(); });
}

// A timer's handler does not run again while it is still busy (for
// instance while it shows an error).
gboolean TGtkForm::OnTimer(gpointer AData) noexcept {
  auto* Source = static_cast<TTimerSource*>(AData);
  TGtkForm* Self = Source->Owner;
  if (Self->FInTimer) return G_SOURCE_CONTINUE;
  Self->FInTimer = true;
  TTimer* Timer = Source->Timer;
  RunHandler(&Self->FForm, [Timer] { Timer->Timer(); });
  Self->FInTimer = false;
  return G_SOURCE_CONTINUE;
}

}  // namespace

std::unique_ptr<INativeForm> CreateNativeForm(TForm& AForm) { return std::make_unique<TGtkForm>(AForm); }

}  // namespace platform::ui
