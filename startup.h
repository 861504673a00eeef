#pragma once
#include <QtGlobal>
#include <QString>
void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);
