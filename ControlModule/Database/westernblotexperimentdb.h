#pragma once

#include "experimenttable.h"

// The WesternBlotExperiment table; one process-wide instance.
class WesternBlotExperimentDB : public ExperimentTable<WesternBlotExperimentRecord> {
    Q_OBJECT

public:
    // Created on the first call (thread-safe); null after the instance was destroyed at exit.
    static WesternBlotExperimentDB* getInstance();
    ~WesternBlotExperimentDB() override;

private:
    WesternBlotExperimentDB();
};
