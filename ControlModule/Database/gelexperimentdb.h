#pragma once

#include "experimenttable.h"

// The GelExperiment table; one process-wide instance.
class GelExperimentDB : public ExperimentTable<GelExperimentRecord> {
    Q_OBJECT

public:
    // Created on the first call (thread-safe); null after the instance was destroyed at exit.
    static GelExperimentDB* getInstance();
    ~GelExperimentDB() override;

private:
    GelExperimentDB();
};
