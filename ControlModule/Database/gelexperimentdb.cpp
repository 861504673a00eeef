#include "gelexperimentdb.h"

#include <atomic>

namespace {
std::atomic<bool> instanceAlive{false};
}

GelExperimentDB* GelExperimentDB::getInstance()
{
    static GelExperimentDB instance;
    return instanceAlive.load() ? &instance : nullptr;
}

GelExperimentDB::GelExperimentDB()
    : ExperimentTable(QStringLiteral("GelExperiment"), true)
{
    instanceAlive = true;
}

GelExperimentDB::~GelExperimentDB()
{
    instanceAlive = false;
}
