#include "pages/pages_in_use.h"

#include <windows.h>

#include <atomic>

#include "pages/ppg_page.h"

namespace marelco {
namespace {

std::atomic<LONG> in_use = 0;

}  // namespace

void PagesInUseChange(long change) { in_use += change; }

LONG PagesInUse() { return in_use; }

}  // namespace marelco
