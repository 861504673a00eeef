#include "westernblotexperimentdb.h"

#include <atomic>

namespace {
std::atomic<bool> instanceAlive{false};
}

WesternBlotExperimentDB* WesternBlotExperimentDB::getInstance()
{
    static WesternBlotExperimentDB instance;
    return instanceAlive.load() ? &instance : nullptr;
}

// One binning per Western-blot experiment: its parameter update leaves the column alone.
WesternBlotExperimentDB::WesternBlotExperimentDB()
    : ExperimentTable(QStringLiteral("WesternBlotExperiment"), false)
{
    instanceAlive = true;
}

WesternBlotExperimentDB::~WesternBlotExperimentDB()
{
    instanceAlive = false;
}
