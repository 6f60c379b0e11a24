#include "core/player_state.h"

// Zero at program load; the containers start empty.
PlayerState player;
