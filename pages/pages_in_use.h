// The count behind PagesInUse: page objects and open about boxes add themselves while they live.
#pragma once

namespace marelco {

void PagesInUseChange(long change);

}  // namespace marelco
