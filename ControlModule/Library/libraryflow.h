#pragma once
// The image library behind the main controller: the experiment-table queries of the library
// pages, the folder listings and their thread, single exports of the capture pages and of
// stored pictures, the batch export with its overwrite question, and the hand-off to the
// image-analysis program. GUI thread, except the batch export's shared state.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>

#include "exportfilelistthread.h"
#include "imageexport.h"

class ExperimentStore;
class FlowContext;

class LibraryFlow : public QObject {
    Q_OBJECT
public:
    // The overwrite question's answers, in the order of its buttons.
    enum Answer { YesToAll = 0, Yes = 1, No = 2 };

    explicit LibraryFlow(FlowContext& ctx, QObject* parent = nullptr);
    // Cancels a batch export still running and waits for it.
    ~LibraryFlow() override;

    // Experiment tables by mode (0 gel, 1 Western blot, 2 multi-fluorescence; others: empty).
    QVariantList loadAllDate(int expMode, const QString& userName, const QString& name, const QString& startDate,
                             const QString& endDate);
    QVariantList loadByDate(int expMode, const QString& date, const QString& userName, const QString& name);
    QVariantList loadExpParamByImageSavePath(int expMode, const QString& imageSavePath);
    QStringList getDirFilesName(const QString& dirPath);
    // Every folder of the gel, then Western-blot, then multi-fluorescence table.
    QVariantList loadAllImageSavePath();
    // Lists the folders in a thread of its own; updateListView per file, then closeLoadingDialog.
    void updateImageByISP(int index, const QVariantList& imageSavePathList);

    // The overlay texts of the next single export (from the export dialog).
    void updateExportInfo(const QString& curBinning, const QString& curExposure, const QString& curGain);
    WatermarkLines exportInfo() const { return m_exportInfo; }
    void setExportFlag(bool flag);
    // Starts the batch export of stored pictures into folder; the overlay follows the rows of
    // expMode's table. A batch still running is not joined by a second one.
    void exportImage(const QVariantList& selectedImageNameList, const QString& imageSaveFolder, int expMode);
    bool exportRunning() const { return !m_exportThread.isNull(); }
    // The overwrite question of the batch export (GUI thread): asks, then wakes the worker.
    void askOverwrite(const QString& fileName);
    // Replaces the message box (tests); returns an Answer.
    void setOverwriteQuestion(std::function<int(const QString& fileName)> question);
    ExportShared& exportShared() { return m_export; }

    // Single exports; targets are file URLs or paths. Nothing is written for an empty target or
    // an unreadable source; the result tells whether the file was written.
    bool exportStored(const QString& fileName, const QString& target, int index);
    bool exportGel(const QString& curGelImageName, const QString& target, int index);
    bool exportMult(const QString& curMultImageName, const QString& target, int index);
    bool exportWBTS(const QString& target, int index, const QString& srcPseudoImageName);
    bool exportWBQI(const QString& target, int index, const QString& srcPseudoImageName);
    // The current frame of either camera, as captured or as the view shows it.
    bool saveExportImage(const QString& target, int index, bool asDisplayed);
    bool saveExportImageQI(const QString& target, int index, bool asDisplayed);

    // The image-analysis program in the application folder and its kind flag.
    static QString analysisProgram();
    int analysisKind(int expMode) const;
    // Starts the program detached on path; false (logged) when it is missing or does not start.
    bool startAnalysis(const QString& path, int kind);

signals:
    void updateListView(int curIndex, int j, QString fileName);
    void closeLoadingDialog(int index);
    void sig_exportCount(int curIndex, int totalNum);
    void sig_exportBreak();
    void sig_exportFailed(const QString& target);

private:
    ExperimentStore* storeOf(int expMode) const;
    // A Western-blot pseudo-colour file exported in the dialog's format with the overlay.
    bool exportPseudoColour(const QString& target, int index, const QString& srcPseudoImageName);

    FlowContext& m_ctx;
    ExportShared m_export;
    WatermarkLines m_exportInfo;
    QPointer<ExportFileListThread> m_exportThread;
    std::function<int(const QString&)> m_question;
};
