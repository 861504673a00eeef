#pragma once
// The one way into the driver, shared by the controller's source files.

#include "h695icecamctrl.h"

template <class Call>
TUCAMRET H695ICECamCtrl::drive(const char* name, int id, double value, Call&& call, Logging logging) const
{
    const TUCAMRET status = call(handle());
    if (status != TUCAMRET_SUCCESS && logging == Logging::Failures)
        logDriverFailure(name, id, value, status);
    return status;
}
