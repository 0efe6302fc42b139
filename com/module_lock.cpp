#include "com/module_lock.h"

namespace marelco {
namespace {

LONG module_locks = 0;

}  // namespace

void LockModule() { InterlockedIncrement(&module_locks); }
void UnlockModule() { InterlockedDecrement(&module_locks); }
LONG ModuleLocks() { return InterlockedCompareExchange(&module_locks, 0, 0); }
bool ModuleInUse() { return ModuleLocks() != 0; }

}  // namespace marelco
