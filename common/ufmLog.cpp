#include "common/ufmLog.h"

#include <vector>

#include "common/Common.Log.h"
#include "common/Exception.h"
#include "common/LogViewerGlyph.h"
#include "common/Text.h"
#include "platform/Files.h"
#include "platform/TextFile.h"

using namespace platform::ui;

namespace {

constexpr std::uint32_t clBtnFace = 0xF0F0F0;
constexpr int CheckFileIntervalMs = 1000;
constexpr unsigned CodePageUtf8 = 65001;

// Sizes are those of the design, at 120 pixels per inch.
TFormDesign Design() {
  TFormDesign D;
  D.Caption = u"Просмотр лога";
  D.BorderStyle = TBorderStyle::bsSizeable;
  D.Position = TPosition::poScreenCenter;
  D.ClientWidth = 884;
  D.ClientHeight = 550;
  D.PixelsPerInch = 120;
  D.Color = clBtnFace;
  D.FontName = u"Tahoma";
  D.FontHeight = -13;
  return D;
}

// The extension from the last dot on, dot included, in lower case.
std::u16string LowerExtension(const std::u16string& AName) {
  const auto Dot = AName.rfind(u'.');
  if (Dot == std::u16string::npos) return {};
  std::u16string Result = AName.substr(Dot);
  for (auto& C : Result) C = FoldCase(C);
  return Result;
}

}  // namespace

void ShowLogViewerModal() {
  TfrmLog Viewer;
  Viewer.ShowModal();
}

std::u16string TfrmLog::DefaultLogFolder() { return Common::Log::GetLogFileName(true); }

TfrmLog::TfrmLog(TLogFolderSource ALogFolder)
    : FLogFolder(std::move(ALogFolder)), FForm(std::make_unique<TForm>(Design())) {
  CreateComponents();
  // As with any handler, an error here is shown to the user and goes no
  // further: the window opens with whatever was filled in before it.
  RunHandler(FForm.get(), [this] { FormCreate(); });
}

TfrmLog::~TfrmLog() {
  // The timer stops with the window.
  FtmrCheckFile->SetEnabled(false);
  FForm.reset();
}

void TfrmLog::CreateComponents() {
  FPanel1 = &FForm->AddControl<TPanel>(u"Panel1", TRect{0, 0, 884, 33}, TAlign::alTop);
  FcbbLogFiles = &FForm->AddControl<TComboBox>(u"cbbLogFiles", TRect{8, 5, 257, 21}, true);
  FbtnOpenDir = &FForm->AddControl<TButton>(u"btnOpenDir", TRect{268, 4, 23, 24});
  FbtnOpenDir->SetGlyph(OpenFolderGlyph(clBtnFace));
  FcbbEncoding = &FForm->AddControl<TComboBox>(u"cbbEncoding", TRect{305, 5, 80, 21}, false);
  for (const char16_t* Item : {u"UTF-8", u"ANSI", u"OEM"}) FcbbEncoding->Add(Item);
  FcbbEncoding->SetItemIndex(0);
  FmmoLog = &FForm->AddControl<TMemo>(u"mmoLog", TRect{0, 33, 884, 517}, TAlign::alClient);
  FtmrCheckFile = &FForm->AddControl<TTimer>(u"tmrCheckFile", CheckFileIntervalMs);

  FcbbLogFiles->OnChange = [this] { cbbLogFilesChange(); };
  FcbbLogFiles->OnDropDown = [this] { cbbLogFilesDropDown(); };
  FcbbEncoding->OnChange = [this] { cbbLogFilesChange(); };
  FbtnOpenDir->OnClick = [this] { btnOpenDirClick(); };
  FtmrCheckFile->OnTimer = [this] { tmrCheckFileTimer(); };
}

unsigned TfrmLog::CodePageOf(int AEncodingIndex) noexcept {
  switch (AEncodingIndex) {
    case 1:
      return 1251;  // "ANSI": Cyrillic Windows, whatever the system's own
    case 2:
      return 866;  // "OEM": Cyrillic DOS, whatever the system's own
    default:
      return CodePageUtf8;
  }
}

void TfrmLog::FormCreate() {
  FLogDirectory = FLogFolder();
  FillLogFileList();
  // The files are named by date, so the last one is the newest day.
  if (!FcbbLogFiles->Items().empty()) FcbbLogFiles->SetItemIndex(static_cast<int>(FcbbLogFiles->Items().size()) - 1);
  LoadSelectedLog();
}

// The list is cleared (with its selection) and refilled in one step; it
// sorts itself.
void TfrmLog::FillLogFileList() {
  std::vector<std::u16string> Names;
  if (auto Entries = platform::ListFolder(FLogDirectory))
    for (platform::TFolderEntry& Entry : *Entries)
      if (LowerExtension(Entry.Name) == u".log") Names.push_back(std::move(Entry.Name));
  FcbbLogFiles->SetItems(std::move(Names));
}

std::u16string TfrmLog::SelectedPath() const { return FLogDirectory + FcbbLogFiles->Text(); }

void TfrmLog::LoadSelectedLog() {
  if (FcbbLogFiles->Text().empty()) return;
  const std::u16string Path = SelectedPath();
  std::u16string Reason;
  const auto WriteTime = platform::FileWriteTime(Path, &Reason);
  if (!WriteTime) throw Exception(u"Cannot open file \"" + Path + u"\": " + Reason);
  FLogLastWriteTime = WriteTime;

  FmmoLog->BeginUpdate();
  struct TEndUpdate {
    TMemo& Memo;
    ~TEndUpdate() { Memo.EndUpdate(); }
  } EndUpdate{*FmmoLog};
  const unsigned CodePage = CodePageOf(FcbbEncoding->ItemIndex());
  std::string Data = platform::ReadFileDenyWrite(Path);
  std::string_view Text(Data);
  if (CodePage == CodePageUtf8 && Text.starts_with("\xEF\xBB\xBF")) Text.remove_prefix(3);
  FmmoLog->SetText(platform::DecodeCodePage(Text, CodePage));
}

void TfrmLog::tmrCheckFileTimer() {
  if (FcbbLogFiles->Text().empty()) return;
  const std::u16string Path = SelectedPath();
  const auto WriteTime = platform::FileWriteTime(Path);
  if (!WriteTime || !FLogLastWriteTime || !(*WriteTime > *FLogLastWriteTime)) return;

  // The view stays where the user's caret was.
  const int Caret = FmmoLog->SelStart();
  LoadSelectedLog();
  FmmoLog->SetSelStart(Caret);
  FmmoLog->ScrollCaret();
  FmmoLog->SetFocus();
}

void TfrmLog::cbbLogFilesDropDown() { FillLogFileList(); }

void TfrmLog::cbbLogFilesChange() { LoadSelectedLog(); }

void TfrmLog::btnOpenDirClick() { ShellExplore(FForm.get(), FLogFolder()); }
