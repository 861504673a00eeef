#pragma once
// Housekeeping behind the main controller: flat-field and region requests for the Tucsen camera;
// experiment deletion and renaming, the user manual and the on-screen keyboard (still to be
// built: those answer "not available yet"); the periodic clean-up and the folder clean-up. The
// library's queries and exports are the library flow's. GUI thread only.

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
    QVariantList deleteExps(int expMode, const QStringList& expNameList);
    void updateNameAndImgSavePathByUuid(int expMode, const QString& uuid, const QString& newName,
                                        const QString& oriImageSavePath, const QString& newImageSavePath);

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

private:
    FlowContext& m_ctx;
};
