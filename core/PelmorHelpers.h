#pragma once
// The numeric helpers that every analysis shares, in one include: the generator, number
// texts, simulation statistics, histograms, matrix types and margins.
#include "core/PelmorHistogram.h"
#include "core/PelmorMatrix.h"
#include "core/PelmorRandom.h"
#include "core/PelmorStats.h"
#include "core/PelmorText.h"
#include "core/PelmorTypes.h"
