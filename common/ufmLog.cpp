#include "common/ufmLog.h"

#include <algorithm>
#include <vector>

#include "common/Common.Log.h"
#include "common/Exception.h"
#include "common/LogTail.h"
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

// The text box is not redrawn between its creation and its end (also when
// what comes between fails).
class TMemoUpdate {
public:
  explicit TMemoUpdate(TMemo& AMemo) : FMemo(AMemo) { FMemo.BeginUpdate(); }
  TMemoUpdate(const TMemoUpdate&) = delete;
  TMemoUpdate& operator=(const TMemoUpdate&) = delete;
  ~TMemoUpdate() { FMemo.EndUpdate(); }

private:
  TMemo& FMemo;
};

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

// The newest part of the file (all of it when it is short), read from its
// end; a file of tens of megabytes would take the text box minutes to take.
void TfrmLog::LoadSelectedLog() {
  if (FcbbLogFiles->Text().empty()) return;
  const std::u16string Path = SelectedPath();
  StoreWriteTime(Path);
  FTailShown = false;

  TMemoUpdate Update(*FmmoLog);
  const unsigned CodePage = CodePageOf(FcbbEncoding->ItemIndex());
  platform::TFilePart Part;
  try {
    Part = platform::ReadFileEndDenyWrite(Path, 0, TLogTail::ShownBytes);
  } catch (const platform::TNotPlainFile& E) {
    // Something else named like a log (a FIFO, a folder) is never read:
    // the text box says what it is instead.
    FmmoLog->SetText(E.Message());
    return;
  }
  FmmoLog->SetText(FTail.Reset(Part, CodePage));
  FTailShown = true;
}

void TfrmLog::StoreWriteTime(const std::u16string& APath) {
  std::u16string Reason;
  const auto WriteTime = platform::FileWriteTime(APath, &Reason);
  if (!WriteTime) throw Exception(u"Cannot open file \"" + APath + u"\": " + Reason);
  FLogLastWriteTime = WriteTime;
}

// A file that has only grown gets its new bytes appended, and as many of
// the oldest shown lines dropped; anything else is loaded again. The caret
// stays on the text it was on.
void TfrmLog::FollowSelectedLog() {
  const int Caret = FmmoLog->SelStart();
  if (!FTailShown) {
    LoadSelectedLog();
    FmmoLog->SetSelStart(Caret);
    return;
  }
  const std::u16string Path = SelectedPath();
  StoreWriteTime(Path);
  platform::TFilePart Part;
  try {
    Part = platform::ReadFileEndDenyWrite(Path, FTail.GrowthFrom(), TLogTail::GrowthReadBytes);
  } catch (const platform::TNotPlainFile&) {
    LoadSelectedLog();  // tells what now stands in the file's place
    FmmoLog->SetSelStart(Caret);
    return;
  }
  TLogTail::TEdit Edit;
  switch (FTail.Grow(Part, Edit)) {
    case TLogTail::TGrowth::gwNone: break;
    case TLogTail::TGrowth::gwReload: LoadSelectedLog(); break;
    case TLogTail::TGrowth::gwEdit: {
      TMemoUpdate Update(*FmmoLog);
      int NewCaret = Caret;
      if (Edit.HeadChars > 0 || !Edit.Head.empty()) {
        const std::u16string_view Text(FmmoLog->Text());
        const int Dropped = FmmoLog->NativeLength(Text.substr(0, std::min(Edit.HeadChars, Text.size())));
        const int Added = FmmoLog->NativeLength(Edit.Head);
        NewCaret = Caret >= Dropped ? Caret - Dropped + Added : Added;
        FmmoLog->ReplaceText(0, Edit.HeadChars, Edit.Head);
      }
      FmmoLog->AppendText(Edit.Tail);
      FmmoLog->SetSelStart(NewCaret);
      return;
    }
  }
  FmmoLog->SetSelStart(Caret);
}

void TfrmLog::tmrCheckFileTimer() {
  if (FcbbLogFiles->Text().empty()) return;
  const std::u16string Path = SelectedPath();
  const auto WriteTime = platform::FileWriteTime(Path);
  if (!WriteTime || !FLogLastWriteTime || !(*WriteTime > *FLogLastWriteTime)) return;

  // The view stays where the user's caret was.
  FollowSelectedLog();
  FmmoLog->ScrollCaret();
  FmmoLog->SetFocus();
}

void TfrmLog::cbbLogFilesDropDown() { FillLogFileList(); }

void TfrmLog::cbbLogFilesChange() { LoadSelectedLog(); }

void TfrmLog::btnOpenDirClick() { ShellExplore(FForm.get(), FLogFolder()); }
