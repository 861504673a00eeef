#pragma once
// Deletion and renaming of pictures and experiments, the periodic clean-up and the report
// document, behind the main controller. GUI thread.
//
// Capture pages delete frames of the experiment in progress by the file name each frame was
// saved under (kept beside the camera controllers' frame lists), never by position in a folder
// listing. Library pages delete in a thread (DeleteImageThread). Only pictures below the
// program's Images folder or the user's image folder are ever deleted or renamed.

#include "enumobj.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

class DeleteImageThread;
class ExperimentRecord;
class ExperimentStore;
class ExportWPSThread;
class FlowContext;

class FilesFlow : public QObject {
    Q_OBJECT
public:
    explicit FilesFlow(FlowContext& ctx, QObject* parent = nullptr);
    // Waits for a deletion or report still running.
    ~FilesFlow() override;

    // Starts the one-pass clean-up of old images; the thread deletes itself when done.
    void startRegularRemove();

    // Capture pages. record: the experiment in progress (nothing happens without one).
    void deleteTucsenFrame(const ExperimentRecord* record, int j);
    void deleteKestrixFrame(const ExperimentRecord* record, int j);
    // A derived picture (pseudo colour, colour, merge) and its mirror.
    void deleteDerivedImage(const ExperimentRecord* record, const QString& imageName);
    // Frames of the gel experiment in progress (named by the camera's experiment name) with
    // their entries in its row. Text entries are pictures made from them (dyed, colour marker),
    // removed as files of the experiment record.
    void deleteGelFrames(const QVariantList& indexList, const ExperimentRecord* experiment = nullptr);

    // Image library.
    void deleteFilesAndExps(EnumOBJ::ExpMode expMode, const QStringList& imageSavePathList);
    bool deleteRunning() const { return !m_deleteThread.isNull(); }
    // What the last finished deletion did: "deleted" (pictures), "experiments" (folders of rows
    // removed for an entry naming them) and "failed" (entries left), each a list of paths.
    QVariantMap lastDeletion() const { return m_lastDeletion; }
    QVariantList deleteExps(int expMode, const QStringList& expNameList);
    // The file first, then the row; the mirror after. False (nothing changed) when the file
    // cannot be renamed or the row cannot be written.
    bool updateImageName(int expMode, const QString& oriImageSavePath, const QString& newImageSavePath);
    // The folder first, then the row; the mirror folder after. False (nothing changed) when the
    // folder cannot be renamed or the row cannot be written.
    bool updateNameAndImgSavePathByUuid(int expMode, const QString& uuid, const QString& newName,
                                        const QString& oriImageSavePath, const QString& newImageSavePath);

    // Report document: a unique temporary picture path beside the program, and the thread that
    // writes the document from it (the picture is removed when the thread ends).
    static QString reportPicturePath();
    void exportReport(const QString& imageSaveFileName, const QString& curUserName, const QString& picturePath);
    bool reportRunning() const { return !m_reportThread.isNull(); }
    // The template the reports fill; "" for the one beside the program.
    void setReportTemplate(const QString& templateFile) { m_reportTemplate = templateFile; }

    QStringList imageRoots() const;

signals:
    void deleteFinished();
    // One report is done: ok, the document written (the chosen name with ".docx"), and when not
    // ok the reason in the operator's words. The report is no device: no errorCode is set.
    void exportFinished(bool ok, const QString& document, const QString& reason);

private:
    ExperimentStore* storeOf(int expMode) const;
    QString userImageFolder() const;
    // Removes a frame's picture (with its marked and raw companions) from the experiment's
    // folder and, withMirror, its copy in the user's image folder (the gel page keeps that copy).
    void removeFrameFiles(const ExperimentRecord& record, const QString& fileName, bool withMirror = true);

    FlowContext& m_ctx;
    QPointer<DeleteImageThread> m_deleteThread;
    QVariantMap m_lastDeletion;
    QPointer<ExportWPSThread> m_reportThread;
    QString m_reportTemplate;
};
