#pragma once

#include <QDateTime>
#include <QString>
#include <QUuid>

// One experiment row: who ran it, when, where its images lie and what each image was taken
// with. exposureTime, gain and imageNames hold one entry per image in capture order, each
// followed by ",".
class ExperimentRecord {
public:
    QUuid uuid;
    QString userName;
    int expType;           // EnumOBJ::ExpMode value, set by the creator
    QString name;          // unique within its table
    QString date;          // "yyyy-MM-dd"
    QDateTime dateTime;    // null until the creator sets it
    QString imageSavePath; // folder of the images, ending in "/"
    QString binning;       // "2*2"; Gel and Mult keep one entry per image
    QString exposureTime;
    QString gain;
    QString imageNames;    // file names without folder

protected:
    // Only the three table records below are made; a fresh one has a new random uuid.
    ExperimentRecord();
    ExperimentRecord(const ExperimentRecord&) = default;
    ExperimentRecord& operator=(const ExperimentRecord&) = default;
    ~ExperimentRecord() = default;
};

class WesternBlotExperimentRecord : public ExperimentRecord {};
class GelExperimentRecord : public ExperimentRecord {};
class MultExperimentRecord : public ExperimentRecord {};
