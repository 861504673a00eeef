#pragma once
// Housekeeping behind the main controller: flat-field and region requests for the Tucsen camera;
// experiment-table queries, the user manual, the on-screen keyboard and the export bookkeeping
// (still to be built: those answer "not available yet"); the periodic clean-up and the folder
// clean-up. GUI thread only, except the export state below.

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QWaitCondition>

class FlowContext;

class HousekeepingFlow : public QObject {
    Q_OBJECT
public:
    explicit HousekeepingFlow(FlowContext& ctx, QObject* parent = nullptr);
    ~HousekeepingFlow() override;

    // Removes the files (not folders) of dir; stops at the first that cannot be removed.
    static void removeDirFiles(const QString& dir);
    // Starts the one-pass clean-up of old images; the thread deletes itself when done.
    void startRegularRemove();

    // Experiment tables and folders
    QVariantList loadAllDate(int expMode, const QString& userName, const QString& name, const QString& startDate,
                             const QString& endDate);
    QVariantList loadByDate(int expMode, const QString& date, const QString& userName, const QString& name);
    QVariantList deleteExps(int expMode, const QStringList& expNameList);
    void updateNameAndImgSavePathByUuid(int expMode, const QString& uuid, const QString& newName,
                                        const QString& oriImageSavePath, const QString& newImageSavePath);
    QVariantList loadExpParamByImageSavePath(int expMode, const QString& imageSavePath);
    QStringList getDirFilesName(const QString& dirPath);

    // Flat field (reference pair 0 to 4 by type), region of interest
    void getReferenceImage(int type);
    bool isFFC();
    void setFFC(bool state);
    bool isInFFC();
    void setisInFFC(bool state);
    void calculateFFC();
    void resetFFC();
    void setPercent(int percent);
    bool isAlreadyFFC();
    void removeCorrectionData();
    void setRoi(int x, int y, int width, int height);
    void removeSetRoi();
    void clearRoiList();

    void openUserManual();
    void showScreenKeyboard(bool show);
    void updateExportInfo(const QString& curBinning, const QString& curExposure, const QString& curGain);
    void setExportFlag(bool flag);

    // Shared with the batch export thread: its overlay texts, and the overwrite question it
    // waits for under overwriteMutex until the GUI thread has answered.
    QString exportBinning;
    QString exportExposure;
    QString exportGain;
    QMutex overwriteMutex;
    QWaitCondition overwriteCondition;
    bool overwriteAnswered = false;
    bool overwriteYesToAll = false;
    bool overwriteFile = false;
    bool exportBreak = false;

private:
    FlowContext& m_ctx;
};
