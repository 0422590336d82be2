#include "core/RunState.h"

namespace {
TRunState DefaultState;
TRunState* Current = &DefaultState;
}  // namespace

TRunState& PelmorState() { return *Current; }
void SetPelmorState(TRunState* State) { Current = State ? State : &DefaultState; }
