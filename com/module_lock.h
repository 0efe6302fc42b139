// The module's lock: every live object the module hands out and every server lock holds it, and the module
// may unload only when none does.
#pragma once

#include <windows.h>

namespace marelco {

void LockModule();
void UnlockModule();
LONG ModuleLocks();  // how many are held now
bool ModuleInUse();

// Holds the module for as long as it lives; a member of every COM object of ours.
class ModuleLock {
 public:
  ModuleLock() { LockModule(); }
  ModuleLock(const ModuleLock&) = delete;
  ModuleLock& operator=(const ModuleLock&) = delete;
  ~ModuleLock() { UnlockModule(); }
};

}  // namespace marelco
