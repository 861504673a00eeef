#include "startup.h"
void logMessageHandler(QtMsgType, const QMessageLogContext&, const QString&) {}
