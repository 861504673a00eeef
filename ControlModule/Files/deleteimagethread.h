#pragma once

#include "enumobj.h"

#include <QMap>
#include <QStringList>
#include <QThread>

class ExperimentStore;
class GelExperimentDB;
class MultExperimentDB;
class WesternBlotExperimentDB;

// Deletes stored pictures of the image library and brings the experiment rows of the mode's
// table in step, inside one transaction: each picture's entry leaves its row's per-image lists,
// rows whose last picture it deleted go, and their folders with them when empty (a row that had
// none before, such as an experiment just begun, stays). Only pictures of the
// library (imagefiles::isLibraryImage below roots) are deleted; with each its raw-frame file
// "<base>.data" beside it and its mirror in the user's image folder. A row changes only after its
// picture is gone. An experiment without pictures (left by a capture that never saved a frame) is
// listed by its folder ending in "/": such an entry removes its row when the folder holds no
// picture. Deleted after it finishes.
class DeleteImageThread : public QThread {
    Q_OBJECT
public:
    DeleteImageThread(GelExperimentDB* gelExpDB, WesternBlotExperimentDB* wbExpDB, MultExperimentDB* multExpDB,
                      QObject* parent = nullptr);
    ~DeleteImageThread() override;

    // Set before start: full picture paths, the mode whose table holds their rows, the folders
    // pictures may be deleted below (the first is the program's Images folder) and the user's
    // image folder (empty: no mirrors).
    void setImageList(EnumOBJ::ExpMode mode, const QStringList& imageList);
    void setRoots(const QStringList& roots, const QString& userImageFolder);

    // What the run did, for the audit trail: pictures deleted, experiments (folders) whose row
    // was removed for an entry naming them, and entries that were not deleted.
    struct Outcome {
        QStringList deleted;
        QStringList experiments;
        QStringList failed;
    };
    Outcome outcome() const { return m_outcome; }

protected:
    void run() override;

private:
    ExperimentStore* store() const;
    void forgetInRow(ExperimentStore* table, const QString& folder, const QString& fileName);
    bool deleteEmptyExperiment(ExperimentStore* table, const QString& folder);
    bool deleteImage(ExperimentStore* table, const QString& path);

    QStringList imageList;
    EnumOBJ::ExpMode mode = EnumOBJ::Unknow_ExpMode;
    GelExperimentDB* gelExpDB;
    WesternBlotExperimentDB* wbExpDB;
    MultExperimentDB* multExpDB;
    QStringList m_roots;
    QString m_userImageFolder;
    // uuid -> folder of the rows whose last picture this run deleted.
    QMap<QString, QString> m_emptied;
    Outcome m_outcome;
};
