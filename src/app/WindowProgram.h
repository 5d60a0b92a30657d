#pragma once

#include "device/SimulatorSetup.h"

// The window program: creates the start-up shell and the windows in their order, runs the message
// loop and returns the exit code. With a simulator set-up the simulated recorder takes the real
// one's place.
int runApplication(int argc, char** argv, const SimulatorConfig* simulator = nullptr);
