#pragma once
// The log viewer: a modal window that lists the log files of the log folder,
// shows the chosen one read-only in a chosen encoding, reloads it when it
// changes on disk (checked every second) and opens the folder in the file
// manager. Errors raised by its handlers are shown in a message box and the
// window stays open.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Form.h"

// Shows the log viewer modally on the calling thread and returns once the
// user has closed it; nothing of it survives the call.
void ShowLogViewerModal();

class TfrmLog {
public:
  // Where the log files are: a folder with a trailing delimiter. The
  // viewer asks for it at creation and again for the folder button.
  using TLogFolderSource = std::function<std::u16string()>;
  static std::u16string DefaultLogFolder();

  // Creates the window hidden, without owner, and runs FormCreate.
  explicit TfrmLog(TLogFolderSource ALogFolder = DefaultLogFolder);
  TfrmLog(const TfrmLog&) = delete;
  TfrmLog& operator=(const TfrmLog&) = delete;
  ~TfrmLog();

  void ShowModal() { FForm->ShowModal(); }

  // Event handlers.
  void FormCreate();
  void cbbLogFilesChange();
  void cbbLogFilesDropDown();
  void tmrCheckFileTimer();
  void btnOpenDirClick();

  // The window and its controls, for whoever needs to look at them (tests).
  platform::ui::TForm& Form() const noexcept { return *FForm; }
  platform::ui::TComboBox& cbbLogFiles() const noexcept { return *FcbbLogFiles; }
  platform::ui::TComboBox& cbbEncoding() const noexcept { return *FcbbEncoding; }
  platform::ui::TButton& btnOpenDir() const noexcept { return *FbtnOpenDir; }
  platform::ui::TMemo& mmoLog() const noexcept { return *FmmoLog; }
  platform::ui::TTimer& tmrCheckFile() const noexcept { return *FtmrCheckFile; }
  const std::u16string& LogDirectory() const noexcept { return FLogDirectory; }

  // The code page of an item of cbbEncoding (65001 for no selection).
  static unsigned CodePageOf(int AEncodingIndex) noexcept;

private:
  void CreateComponents();
  void FillLogFileList();
  void LoadSelectedLog();
  std::u16string SelectedPath() const;

  TLogFolderSource FLogFolder;
  std::unique_ptr<platform::ui::TForm> FForm;
  platform::ui::TPanel* FPanel1 = nullptr;
  platform::ui::TComboBox* FcbbLogFiles = nullptr;
  platform::ui::TButton* FbtnOpenDir = nullptr;
  platform::ui::TComboBox* FcbbEncoding = nullptr;
  platform::ui::TMemo* FmmoLog = nullptr;
  platform::ui::TTimer* FtmrCheckFile = nullptr;
  std::u16string FLogDirectory;
  // Last write time of the shown file when it was last loaded; empty until
  // a file has been loaded.
  std::optional<std::int64_t> FLogLastWriteTime;  // platform::FileWriteTime of the file shown
};
