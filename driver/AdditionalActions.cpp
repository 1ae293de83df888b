// The two additional actions every driver offers: its log files and its
// help, each in a modal window that lives for the duration of the action.
#include "common/ufmLog.h"
#include "driver/uCommonDriver.h"
#include "lib/MarkdownRenderer/ShowHelp.h"

void TCommonDriver::ViewLog() { ShowLogViewerModal(); }

void TCommonDriver::ShowHelp() { ::ShowHelp(); }
