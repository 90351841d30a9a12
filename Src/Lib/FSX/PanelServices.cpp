#include "Lib/FSX/PanelServices.h"

extern "C" {
ZV_EXPORT fsx::ImportTableRecord ImportTable = {fsx::kImportPanelServices, nullptr, {0, 0}};
}
