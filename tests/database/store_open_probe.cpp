// Opens the three experiment tables the way the program's start-up does, then exits. The
// store's log lines go to stderr (the toolkit's default output).
#include <QCoreApplication>
#include <QDebug>

#include "gelexperimentdb.h"
#include "multexperimentdb.h"
#include "westernblotexperimentdb.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool opened = WesternBlotExperimentDB::getInstance() && GelExperimentDB::getInstance()
        && MultExperimentDB::getInstance();
    // What the operator would be told about a store that is not sound.
    if (opened && !GelExperimentDB::getInstance()->isSound())
        qWarning().noquote() << "told:" << GelExperimentDB::getInstance()->refusalText();
    return opened ? 0 : 1;
}
