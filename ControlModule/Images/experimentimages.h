#pragma once
// The controller's image work on the current experiment: generated and merged frames, the colour
// merge with a colour marker, pseudo-colour images and their paste, the fluorescence merge,
// staining and the gel dye. Each operation returns the path of the picture written into the
// experiment folder (a second copy goes to the user's image folder), or "" when nothing was made;
// every refusal (no record, an index or size that does not fit, an unreadable file, a failed
// write) is logged. Frames and their records join the camera's lists only after the picture is
// on disk. GUI thread only; the camera lists are read through their locked accessors.

#include <QColor>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariantList>

#include <functional>

class ExperimentRecord;
class H695ICECamCtrl;
class TsFrameStore;
class KestrixCtrl;
class UserOpts;

namespace cv {
class Mat;
}

class ExperimentImages : public QObject {
    Q_OBJECT
public:
    enum class TsMode { WB, Gel, Mult };

    ExperimentImages(H695ICECamCtrl* ts, KestrixCtrl* qi, UserOpts* opts, QObject* parent = nullptr);

    // The shown frame stretched to the camera's display range, appended with its histogram.
    QString generateTS(const ExperimentRecord* record, TsMode mode);
    QString generateQI(const ExperimentRecord* record);
    // Frames checkedList[0] x checkedList[1], appended with their histogram.
    QString mergeTS(const ExperimentRecord* record, const QVariantList& checkedList);
    QString mergeQI(const ExperimentRecord* record, const QVariantList& checkedList);
    // Frame checkedList[0] tinted by a colour marker of its size (a file, not appended).
    QString colorMergeTS(const ExperimentRecord* record, const QString& colorImageName, const QVariantList& checkedList);
    // Pseudo colour of one frame with its colour bar.
    QString pseudoColorTS(const ExperimentRecord* record, int imageIndex);
    QString pseudoColorQI(const ExperimentRecord* record, int imageIndex);
    // The coloured parts of a "_Pseudo" picture pasted onto the other picture of the list.
    QString pseudoMerge(const ExperimentRecord* record, const QVariantList& checkedList);
    // Screen blend of two to five channel pictures.
    QString multMerge(const ExperimentRecord* record, const QVariantList& imageNameList);
    QString staining(const ExperimentRecord* record, Qt::GlobalColor color, const QString& imageName);
    // The gel picture through a colour map from the colour the operator picks.
    QString dyeBlue(const ExperimentRecord* record, const QString& imagePath);

    // Time source of the file names (tests set a fixed one).
    void setClock(std::function<QDateTime()> clock);
    // The operator's colour choice; an invalid colour is a cancel. The toolkit's modal colour
    // dialog by default.
    void setColorChooser(std::function<QColor(const QColor& initial, const QString& title)> chooser);

private:
    QString timeName() const;
    // Writes the picture as <time><suffix>.tif into the record's folder and the user's copy
    // folder (mirrorSuffix names the copy when it differs).
    QString save(const cv::Mat& picture, const ExperimentRecord& record, const QString& time, const QString& suffix,
                 const QString& mirrorSuffix = QString());
    bool wbTSSharpens(int index) const;
    int backgroundColor();

    H695ICECamCtrl* const m_ts;
    TsFrameStore* const m_frames;
    KestrixCtrl* const m_qi;
    UserOpts* const m_opts;
    std::function<QDateTime()> m_clock;
    std::function<QColor(const QColor&, const QString&)> m_chooseColor;
};
