// The records the host finds the module by: Linkage with the module routines and the gauge table,
// and gauge "main", whose routines hand the panel's element tree to the host's element-list
// operations.
#include "Gauge/ModuleLifecycle.h"
#include "Gauge/PanelElements.h"
#include "Lib/FSX/PanelServices.h"

// Exported for the host.
extern "C" ZV_EXPORT fsx::LinkageRecord Linkage;

namespace {

using fsx::Word;

fsx::ElementHeader* FirstElement() {
    return panelElementList[0];
}

Word ZV_STDCALL GaugeQuery() {
    return fsx::CallOr<fsx::slot::ElementQuery>(Word{0}, FirstElement());
}
Word ZV_STDCALL GaugeInstall(Word argument) {
    return fsx::CallOr<fsx::slot::ElementInstall>(Word{0}, FirstElement(), argument);
}
Word ZV_STDCALL GaugeInitialise() {
    return fsx::CallOr<fsx::slot::ElementInitialise>(Word{0}, FirstElement());
}
Word ZV_STDCALL GaugeUpdate() {
    return fsx::CallOr<fsx::slot::ElementUpdate>(Word{0}, FirstElement());
}
Word ZV_STDCALL GaugeGenerate(Word phase) {
    return fsx::CallOr<fsx::slot::ElementGenerate>(Word{0}, FirstElement(), phase);
}
Word ZV_STDCALL GaugeDraw() {
    return fsx::CallOr<fsx::slot::ElementPlot>(Word{0}, FirstElement());
}
Word ZV_STDCALL GaugeKill() {
    return fsx::CallOr<fsx::slot::ElementKill>(Word{0}, FirstElement());
}

void ZV_STDCALL GaugeCallbackProc(fsx::GaugeHeader*, std::int32_t, Word) {}

fsx::GaugeHeader mainGauge = {
    fsx::kGaugeHeaderVersion,
    "main",
    panelElementList,
    &GaugeQuery,
    &GaugeInstall,
    &GaugeInitialise,
    &GaugeUpdate,
    &GaugeGenerate,
    &GaugeDraw,
    &GaugeKill,
    0,
    850,
    {0, 0, 0, 0, 0, 0, 0, 0},
    panelMouseRects,
    &GaugeCallbackProc,
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
};

} // namespace

extern "C" {
ZV_EXPORT fsx::LinkageRecord Linkage = {
    fsx::kModuleId,
    &ModuleInitialise,
    &ModuleDeinitialise,
    0,
    0,
    fsx::kModuleInterfaceVersion,
    {&mainGauge, nullptr},
};
}
