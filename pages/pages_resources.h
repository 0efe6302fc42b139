// Resource identities of the pages, shared by pages.rc and the code that loads them.
#pragma once

// The control's picture: the about box's window and picture icon.
#define IDI_KALENDO 2001
