// frmAbout, the about box: the component's title, version and description, and its author's credits.
#pragma once

#include <windows.h>

#include "pages/about_texts.h"

namespace marelco::pages {

// Shows the calling thread's about box and returns at once, the box staying open beside the host. A box that
// is not shown is loaded afresh, with its texts filled in; one already shown is shown again as it is.
// A failure to show it is the result.
HRESULT ShowAbout();

// The calling thread's about box while it is loaded, else null.
HWND AboutWindow();

// The title, and the version numbers and file description of the version block, of the module holding the pages.
ApplicationInfo ReadApplicationInfo();

}  // namespace marelco::pages
