// The configuration facts the pages bind to, read from the model table for the current
// authorityType (so no page keeps its own list of configuration numbers).
#include "ic_maincontrol.h"

#include "machinemodel.h"

bool IC_MainControl::isKestrix() const { return MachineModel::isKestrix(authorityType()); }
bool IC_MainControl::isTucsen() const { return MachineModel::isTucsen(authorityType()); }
bool IC_MainControl::hasWBMode() const { return MachineModel::hasWBMode(authorityType()); }
bool IC_MainControl::hasGelMode() const { return MachineModel::hasGelMode(authorityType()); }
bool IC_MainControl::hasMultMode() const { return MachineModel::hasMultMode(authorityType()); }
bool IC_MainControl::isWBFL9BW() const { return MachineModel::isWBFL9BW(authorityType()); }
bool IC_MainControl::isGelFL9BW() const { return MachineModel::isGelFL9BW(authorityType()); }
bool IC_MainControl::isMultFL9BW() const { return MachineModel::isMultFL9BW(authorityType()); }
bool IC_MainControl::hasMotorLens() const { return MachineModel::hasSerialLens(authorityType()); }
bool IC_MainControl::isSingleGel() const { return MachineModel::isGelTS20BW(authorityType()); }
bool IC_MainControl::isMiniCabinet() const { return MachineModel::isMiniCabinet(authorityType()); }
bool IC_MainControl::hasDoor() const { return MachineModel::hasDoor(authorityType()); }
bool IC_MainControl::isGelAndWBTS() const { return MachineModel::isGelAndWBTS(authorityType()); }
bool IC_MainControl::hasFilterWheel() const { return MachineModel::hasFilterWheel(authorityType()); }
