#include "experimentrecord.h"

// expType starts as EnumOBJ::Unknow_ExpMode so that a record nobody typed never reads as a gel.
ExperimentRecord::ExperimentRecord()
    : uuid(QUuid::createUuid())
    , expType(3)
{
}
