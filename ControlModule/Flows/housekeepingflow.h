#pragma once
// Housekeeping behind the main controller: flat-field and region requests for the Tucsen camera,
// the user manual, the on-screen keyboard and the folder clean-up. The library's queries and
// exports are the library flow's, deletion, renaming and the periodic clean-up the files flow's.
// GUI thread only.

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QUrl>
#include <QWaitCondition>

#include <functional>

class FlowContext;

class HousekeepingFlow : public QObject {
    Q_OBJECT
public:
    explicit HousekeepingFlow(FlowContext& ctx, QObject* parent = nullptr);
    ~HousekeepingFlow() override;

    // Removes the files (not folders) of dir; stops at the first that cannot be removed.
    static void removeDirFiles(const QString& dir);
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
    // The stored references in memory again (a calibration that ended before its first
    // reference had cleared them).
    void reloadFFC();
    // The references do not cover the live frame (missing, or smaller than it): correction off,
    // also for the next start, and ffcSwitchedOff for the operator. References and files stay.
    void switchOffFFC();
    void removeCorrectionData();
    void setRoi(int x, int y, int width, int height);
    void removeSetRoi();
    void clearRoiList();

    // The manual of the configuration in the interface language, handed to the desktop; emits
    // userManualOpenFailed when there is none for the configuration, its file is missing or the
    // desktop does not open it.
    void openUserManual();
    // The manual's file below the application folder ("/document/...pdf"); empty when the
    // configuration or the language has none.
    static QString userManualName(int authorityType, int language);
    // Replaces QDesktopServices::openUrl (tests).
    void setUrlOpener(std::function<bool(const QUrl&)> opener) { m_openUrl = std::move(opener); }
    // There is no on-screen keyboard on this platform: with the option on, the first request of
    // the run is logged, the rest ignored.
    void showScreenKeyboard(bool show);

signals:
    void userManualOpenFailed();
    void ffcSwitchedOff();

private:
    FlowContext& m_ctx;
    std::function<bool(const QUrl&)> m_openUrl;
};
