#pragma once
// libzip's header. The static Windows build of libzip defines ZIP_STATIC in
// its own zipconf.h; a definition of the same macro from the command line
// would clash with that one (a redefinition warning), so it yields here.
#ifdef ZIP_STATIC
#undef ZIP_STATIC
#endif
#include <zip.h>
