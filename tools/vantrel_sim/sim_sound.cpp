#include "vantrel_sim/sim_sound.hpp"
