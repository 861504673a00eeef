#include "multexperimentdb.h"

#include <atomic>

namespace {
std::atomic<bool> instanceAlive{false};
}

MultExperimentDB* MultExperimentDB::getInstance()
{
    static MultExperimentDB instance;
    return instanceAlive.load() ? &instance : nullptr;
}

MultExperimentDB::MultExperimentDB()
    : ExperimentTable(QStringLiteral("MultExperiment"), true)
{
    instanceAlive = true;
}

MultExperimentDB::~MultExperimentDB()
{
    instanceAlive = false;
}
