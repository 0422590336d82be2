#pragma once
// The run state that the main window shares with every analysis: iteration count,
// batch flags, the stop flag, the file name and the working counts of the matrix.
// The main window derives from it; the plain helpers below the windows read it
// through PelmorState() so that they can be used and tested without any window.
#include <cstdint>
#include <string>

struct TRunState {
  bool RunEnabled = false;
  bool BatchMode = false;
  int32_t BatchIndex = 0;
  int32_t BatchFileCount = 0;
  bool SaveMatrices = false;
  bool AbortRequested = false;
  int32_t Iterations = 1000;
  int32_t RandomSeed = 0;
  bool OptionsAccepted = false;
  bool UserDefinedAccepted = false;
  int32_t GridCols = 0;
  int32_t GridRows = 0;
  int32_t NumSites = 0;
  int32_t NumSpecies = 0;
  int32_t NumOccupiedSpecies = 0;
  int32_t ErrorRow = 0;
};

// The run state in force: the main window's once it exists, a plain default otherwise.
TRunState& PelmorState();
void SetPelmorState(TRunState* State);
