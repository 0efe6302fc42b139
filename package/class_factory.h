// The class object that DllGetClassObject hands out for each served class.
#pragma once

#include "package/module.h"

namespace marelco {

HRESULT CreateClassFactory(Creator create, REFIID iid, void** object);

}  // namespace marelco
