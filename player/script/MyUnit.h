// The script unit "MyUnit": the functions through which quest scripts move
// between locations, change parameters and the inventory, prompt the player
// and restrict actions.
#pragma once

#include "pascal/Engine.h"

namespace player::script {

class PlayerHost;

// The unit's name as scripts see it.
inline constexpr const char* kMyUnitName = "MyUnit";

// Registers MyUnit on the engine; host must outlive every run.
void RegisterMyUnit(pascal::Engine& engine, PlayerHost& host);

} // namespace player::script
