// The fragmentation percentages both results pages compute from the service's
// cluster counts, and their display text: the engine's figures, in the pages'
// wide text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/Figures.h"

// 100 x part / whole in double precision, at most 100 (a service that reports more
// fragmented than used clusters gives 100); nullopt when whole is 0.
using vantrel::engine::FragmentationPercent;

// "12.34%": the value with two decimals and a percent sign.
std::wstring PercentText(double value);
