#pragma once

#include "edgealgebra/Site.h"

#include <vector>

namespace EdgeAlgebra {

// Puts sites into siteLess order, ready for the triangulator, in linear time:
// a radix sort on the bit patterns of the coordinates instead of a comparison
// sort through siteLess. Sites that siteLess finds equivalent (equal
// coordinates) keep their input order, so the result is exactly that of
// std::stable_sort with siteLess. Sites with a NaN or infinite coordinate end
// up after the finite ones, as siteLess orders them.
void sortSites(std::vector<Site*>& sites);

} // namespace EdgeAlgebra
