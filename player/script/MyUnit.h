// The script unit "MyUnit": the functions through which quest scripts move
// between locations, change parameters and the inventory, prompt the player
// restrict actions, run the countdown, show pictures, play sounds and roll
// the credits.
#pragma once

#include "pascal/Engine.h"

namespace player::script {

class PlayerHost;

// Registers MyUnit on the engine with the player's bodies for its
// functions; host must outlive every run.
void RegisterMyUnit(pascal::Engine& engine, PlayerHost& host);

} // namespace player::script
