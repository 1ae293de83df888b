#pragma once
// The help of the driver, shown for the additional action ShowHelp.

// Renders the module's "help" resource and shows it modally under the
// caption of string resource 65088. Failures propagate to the caller.
void ShowHelp();
