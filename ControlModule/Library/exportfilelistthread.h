#pragma once
// Copies a list of stored pictures into a folder the operator chose, one sub-folder per
// experiment, optionally with the parameter overlay from the experiment's row. Reports progress
// per picture, stops on the operator's cancel between pictures, and asks the GUI thread before
// it overwrites a file, waiting for the answer.

#include <QMutex>
#include <QString>
#include <QThread>
#include <QVariantList>
#include <QWaitCondition>

#include <atomic>

#include "imageexport.h"

class ExperimentStore;
class UserOpts;

// What the batch export shares with the GUI thread. The overwrite flags are guarded by mutex;
// the worker sleeps on condition until answered is set.
struct ExportShared {
    QMutex mutex;
    QWaitCondition condition;
    bool answered = false;
    bool yesToAll = false;
    bool overwrite = false;
    // The operator's cancel, read between pictures.
    std::atomic<bool> exportBreak {false};
    // Set when the owner goes: a worker waiting for an answer gives up.
    std::atomic<bool> closing {false};
};

class ExportFileListThread : public QThread {
    Q_OBJECT
public:
    // imageSaveFolder: the folder as the dialog gives it (a file URL) or a path. store: the
    // experiment table of the mode whose rows fill the overlay (null: no overlay).
    ExportFileListThread(QVariantList selectedImageNameList, QString imageSaveFolder, ExportShared& shared,
                         ExperimentStore* store, bool wbBinning, UserOpts* userOpts, QObject* parent = nullptr);
    ~ExportFileListThread() override;

    // The overlay of the picture last exported with one (this thread's own texts).
    WatermarkLines lastOverlay() const;

signals:
    void sig_exportCount(int curIndex, int totalNum);
    void sig_exportBreak();
    // target could not be written (sent before the count of its picture).
    void sig_exportFailed(const QString& target);
    void requestOverwriteCheck(QString fileName);

protected:
    void run() override;

private:
    // The overlay of a picture from its experiment's row; false when the row or the name is
    // missing.
    bool overlayFor(const QString& folder, const QString& fileName, WatermarkLines& lines) const;
    // Whether the existing target may be written; asks the GUI thread unless Yes To All was
    // given in this run. Returns with shared.mutex locked when it answers true for an asked
    // file, so the write happens under it.
    bool mayOverwrite(const QString& fileName, bool& locked);
    bool exportOne(const QString& source, const QString& target, bool watermark, const QString& folder,
                   const QString& fileName);

    const QVariantList m_list;
    const QString m_folder;
    ExportShared& m_shared;
    ExperimentStore* const m_store;
    const bool m_wbBinning;
    UserOpts* const m_opts;
    bool m_yesToAll = false;
    mutable QMutex m_overlayMutex;
    WatermarkLines m_lastOverlay;
};
