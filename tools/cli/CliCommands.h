#pragma once

#include "tools/cli/CliCall.h"

namespace talivo {

class TCliOutput;

// The exit statuses of talivo-cli.
enum TCliStatus { csSuccess = 0, csBadInput = 1, csWrongCall = 2 };

// Carries out the call; what it finds goes to the output, problems to its error stream.
TCliStatus RunCliCall(const TCliCall &call, TCliOutput &output);

} // namespace talivo
