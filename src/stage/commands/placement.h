#pragma once
#include <string_view>

#include "script/exec.h"
#include "stage/matrix.h"

namespace avg {

// The unit in which a command gives rotation angles.
enum class AngleUnit { Radians, Degrees };

// POS_ x y | SCA_ sx sy | ROT_ x y z | REF_, from word 2: sets the placement fields or
// refreshes the matrix from them. False for any other keyword, which the caller handles.
// The forms placementCommand takes, from word 2.
constexpr std::string_view kPlacementForms =
    "POS_ x:float y:float | SCA_ x:float y:float | ROT_ x:float y:float z:float | REF_";

bool placementCommand(const Exec& x, PiecePlacement& placement, AngleUnit unit);

}  // namespace avg
