#include "package/kalendo_control.h"

namespace marelco {

HRESULT CreateKalendoControl(REFIID, void** object) {
  if (object) *object = nullptr;
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace marelco
