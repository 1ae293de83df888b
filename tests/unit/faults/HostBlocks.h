#pragma once
// The blocks a session leaves with the platform: every error description the
// add-in reported with AddError is a block of the platform's memory manager
// that the platform owns from then on (the harness records the text and
// keeps the block). Giving those back leaves only what the add-in leaked.
#include <string>

#include "v8host/Host.h"

namespace FaultTest {

// Frees every live block that holds the text of a recorded AddError
// description; answers how many were freed.
std::size_t ReleaseReportedDescriptions(v8host::THost& AHost);

// The live blocks as text, for a failure message.
std::string LiveBlocksReport(const v8host::THost& AHost);

}  // namespace FaultTest
