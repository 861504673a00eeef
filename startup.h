#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

class QJSEngine;
class QObject;
class QQmlEngine;

// Writes every message of the process to <appDir>/logs/<yyyy-MM-dd>.txt, one whole line per
// message, from any thread. A line that cannot be written there goes to standard error.
void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

// The line logMessageHandler writes for a message at the given local time (without the file).
QString logLine(QtMsgType type, const QDateTime& time, const QString& message);

// True when no other instance of the program runs (the named token "forCheckOnly").
bool isFirstInstance();

// Delete stray *.xml (camera configuration) or *.tif files directly in <appDir>, but only when
// two or more are there: a single file is kept.
void removeCameraConfigFiles();
void removeImageFiles();

// Chooses the virtual cabinet for this run, as no hardware of the cabinet's own is present here:
// reads TAVRILL_TIME_SCALE once and hands the cabinet in (useVirtualCabinet). Before anything
// pauses or looks for the board.
void chooseVirtualCabinet();
// Faults of the in-process virtual board for a whole program run, named by the environment
// variable TAVRILL_VIRTUAL_BOARD: "silent" (reads, never answers) or "wrong-handshake" (answers
// the handshake with another frame). Anything else leaves the board as it is.
void applyVirtualBoardEnvironment();
// Tells the virtual cabinet's stand-ins which cabinet they are: the camera model, the lens the
// scene follows and where it is sharp. Before the camera opens.
void applyVirtualCabinetModel(int authorityType);

// QML singleton providers: each returns the process-wide object, whatever the engine.
QObject* mainCtrlProvider(QQmlEngine* engine, QJSEngine* scriptEngine);
QObject* camOptsProvider(QQmlEngine* engine, QJSEngine* scriptEngine);
QObject* userOptsProvider(QQmlEngine* engine, QJSEngine* scriptEngine);

// "scaleRatio" of the pages for an instrument configuration: 1.2 for the larger screens of
// WBTS695_Manual to AllAuthorityTSFL9BW_Auto, otherwise 1.0.
double scaleRatioFor(int authorityType);

// Lets the engine find the modules carried in the resources (":/GlobalAuthority") and the
// image library's thumbnails ("image://thumbnail/...").
void addResourceImportPath(QQmlEngine* engine);

// Registers EnumOBJ, the singletons UserOpts, CamOpts and MainCtrl and the two painted item
// types under their "an.qt.*" URIs, version 1.0.
void registerQmlTypes();
