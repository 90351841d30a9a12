#pragma once

#include "Lib/FSX/GaugeAbi.h"

// Called by the host once after loading the module and once before unloading it.
void ZV_STDCALL ModuleInitialise();
void ZV_STDCALL ModuleDeinitialise();
