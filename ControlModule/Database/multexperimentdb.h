#pragma once

#include "experimenttable.h"

// The MultExperiment table; one process-wide instance.
class MultExperimentDB : public ExperimentTable<MultExperimentRecord> {
    Q_OBJECT

public:
    // Created on the first call (thread-safe); null after the instance was destroyed at exit.
    static MultExperimentDB* getInstance();
    ~MultExperimentDB() override;

private:
    MultExperimentDB();
};
