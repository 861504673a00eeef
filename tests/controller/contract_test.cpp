// Every name the QML pages use on MainCtrl (or on imageOps, the controller's list operations a test
// may replace) exists on the controller, and so does every invokable the pages are promised: a
// misspelt call fails here, not in front of a user.
#include "ic_maincontrol.h"

#include <QDirIterator>
#include <QFile>
#include <QMetaMethod>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {
QSet<QString> controllerNames()
{
    QSet<QString> names;
    const QMetaObject& meta = IC_MainControl::staticMetaObject;
    for (int i = 0; i < meta.methodCount(); ++i)
        names << QString::fromLatin1(meta.method(i).name());
    for (int i = 0; i < meta.propertyCount(); ++i)
        names << QString::fromLatin1(meta.property(i).name());
    return names;
}

QSet<QString> invokableNames()
{
    QSet<QString> names;
    const QMetaObject& meta = IC_MainControl::staticMetaObject;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        if (method.methodType() == QMetaMethod::Method || method.methodType() == QMetaMethod::Slot)
            names << QString::fromLatin1(method.name());
    }
    return names;
}
// The QML and script files under qml/ for which `matches(name, text)` holds.
template <typename Predicate>
QStringList pageFilesWhere(Predicate matches)
{
    QStringList found;
    int files = 0;
    QDirIterator it(QStringLiteral(TAVRILL_QML_DIR), {QStringLiteral("*.qml"), QStringLiteral("*.js")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly)) {
            found << file.fileName() + QStringLiteral(" (unreadable)");
            continue;
        }
        ++files;
        if (matches(file.fileName(), QString::fromUtf8(file.readAll())))
            found << file.fileName();
    }
    if (files == 0)
        found << QStringLiteral("no page files under " TAVRILL_QML_DIR);
    return found;
}
} // namespace

class ContractTest : public QObject {
    Q_OBJECT

private slots:
    void everyNameTheQmlUsesExists()
    {
        const QSet<QString> names = controllerNames();
        const QRegularExpression use(QStringLiteral("\\b(MainCtrl|imageOps)\\s*\\.\\s*([A-Za-z_][A-Za-z0-9_]*)"));
        QStringList missing;
        int files = 0;
        QDirIterator it(QStringLiteral(TAVRILL_QML_DIR), {QStringLiteral("*.qml")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            ++files;
            const QString text = QString::fromUtf8(file.readAll());
            auto matches = use.globalMatch(text);
            while (matches.hasNext()) {
                const QRegularExpressionMatch match = matches.next();
                if (!names.contains(match.captured(2)))
                    missing << file.fileName() + QStringLiteral(": ") + match.captured(1) + QLatin1Char('.') + match.captured(2);
            }
        }
        QVERIFY(files > 0);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
    }

    // A name built at run time is invisible to the check above.
    void noControllerNameIsBuiltFromStrings()
    {
        const QRegularExpression built(QStringLiteral("\\b(MainCtrl|imageOps)\\s*\\["));
        const QStringList offenders = pageFilesWhere([&](const QString&, const QString& text) {
            return text.contains(built);
        });
        QVERIFY2(offenders.isEmpty(), qPrintable(offenders.join(QLatin1Char('\n'))));
    }

    void everyPromisedInvokableExists()
    {
        static const char* const promised[] = {
            "_WBQIPreviewStart", "_WBQIBinChanged", "_WBQIPreExpChanged", "_WBQIGainChanged", "_WBQICaptureStart",
            "_WBQICancelCapture", "_WBQIExitExperiment", "_WBQIUpdateImageShow", "_WBQIGetTem",
            "_QICloseCamAndUnInit", "_WBTSPreviewStart", "_WBTSBinChanged", "_WBTSPreExpChanged",
            "_WBTSPreExpAndGainChanged", "_WBTSAtExposure", "_WBTSGainChanged", "_WBTSCaptureStart",
            "_WBTSCancelCapture", "_WBTSExitExperiment", "_WBTSUpdateImageShow", "_WBTSGetExposure", "_WBTSGetGain",
            "_WBTSGetTem", "_WBUpdateExpName", "_WBTSSetEstimateRoi", "_WBTSRemoveEstimateRoi",
            "_TSCloseCamAndUnInit", "_GelTSPreviewStart", "_GelTSPreviewReStart", "_GelTSBinChanged",
            "_GelTSPreExpChanged", "_GelTSPreExpAndGainChanged", "_GelTSGainChanged", "_GelTSAtExposure",
            "_GelTSGetExposure", "_GelTSGetGain", "_GelTSCaptureStart", "_GelTSUpdateExpInfo", "_GelTSUpdateExpName",
            "_GelTSUpdateImageShow", "_GelTSCancelCapture", "_GelUpdateCurImageName", "_GelTSROIChanged",
            "_GelTSExitExperiment", "_GelTS20BWExitExperiment", "_GelTS20BWOpenBlueLight", "_GelTS20BWAtFocus",
            "requestBoardType", "_GelTS20BWReleaseDoor", "_GelTS20BWSetAverageGrayThd", "_MultTSPreviewStart",
            "_MultTSBinChanged", "_MultTSPreExpChanged", "_MultTSPreExpAndGainChanged", "_MultTSGainChanged",
            "_MultTSAtExposure", "_MultTSGetExposure", "_MultTSGetGain", "_MultTSCaptureStart", "_MultTSUpdateExpInfo",
            "_MultTSUpdateExpName", "_MultTSCancelCapture", "_MultUpdateCurImageName", "_MultTSUpdateImageShow",
            "_MultTSExitExperiment", "lightChange", "lightCmd", "_MultiLightCmd", "_GelTSLightChanged",
            "_MultTSLightChanged", "_GelTSFilterChanged", "_MultTSFilterChanged", "lensCtrl", "lensCmd",
            "_FocusChanged", "stopAutoFocus", "_WBTSSpacecomAtFocus", "_GelTSSpacecomAtFocus",
            "_MultTSSpacecomAtFocus", "lightAutoShutDown", "loadAllDate", "loadByDate", "deleteExps",
            "updateNameAndImgSavePathByUuid", "loadExpParamByImageSavePath", "getDirFilesName", "getStandardImage",
            "getDarkImage", "isFFC", "setFFC", "isInFFC", "setisInFFC", "calculateFFC", "resetFFC", "setPercent",
            "isAlreadyFFC", "getStandardImageFor535", "getDarkImageFor535", "getStandardImageFor605",
            "getDarkImageFor605", "getStandardImageFor715", "getDarkImageFor715", "getStandardImageFor590",
            "getDarkImageFor590", "removeCorrectionData", "setRoi", "removeSetRoi", "clearRoiList", "openUserManual",
            "showScreenKeyboard", "updateExportInfo", "setExportFlag", "exportImage", "setLineSeries",
            "setMultLineSeries", "setGelLineSeries", "_WBQIImageListClicked", "_WBQIUpdateHisShowAndImageShow",
            "_WBTSImageListClicked", "_WBTSUpdateHisShowAndImageShow", "_GelTSImageListClicked",
            "_GelTSUpdateHisShowAndImageShow", "_MultTSImageListClicked", "_MultTSUpdateHisShowAndImageShow",
            "_WBQIGenerateImage", "_WBTSGenerateImage", "_GelTsGenerateImage", "_MultTSGenerateImage",
            "_WBQIMergeImage", "_WBTSMergeImage", "_WBTSColorMergeImage", "_WBTSPesudoMerge", "_WBQIPseudoColorImage",
            "_WBTSPseudoColorImage", "_MultTSMergeImage", "_MultTSStaining", "_GelTSDyeBlue", "_WBQIExportImage",
            "_WBTSExportImage", "_GelTSExportImage", "_MultTSExportImage", "exportWPS", "_WBQIDeleteImage",
            "_WBTSDeleteImage", "_GelTSDeleteImage", "_MultTSDeleteImage", "_WBQIDeletePseudoColorImage",
            "_WBTSDeletePseudoColorImage", "_MultTSDeleteColorAMergeImage", "updateImageName", "deleteFilesAndExps",
            "updateImageByISP", "loadAllImageSavePath", "imageEdit", "imagePageEdit", "exportAuditTrail",
            "readDataHandle", "slot_SerialPortErrorOccur", "slot_CamErrorOccur", "updateImageHandle", "finishHandle",
        };
        const QSet<QString> names = invokableNames();
        QStringList missing;
        for (const char* name : promised)
            if (!names.contains(QString::fromLatin1(name)))
                missing << QString::fromLatin1(name);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));
    }

    // The pages bind to the configuration facts: each is a bool that changes with authorityType.
    void configurationFactsFollowTheConfiguration()
    {
        static const char* const facts[] = {
            "isKestrix", "isTucsen", "hasWBMode", "hasGelMode", "hasMultMode", "isWBFL9BW", "isGelFL9BW",
            "isMultFL9BW", "hasMotorLens", "isSingleGel", "isMiniCabinet", "hasDoor", "isGelAndWBTS", "hasFilterWheel",
        };
        const QMetaObject& meta = IC_MainControl::staticMetaObject;
        const QMetaMethod changed = meta.method(meta.indexOfSignal("authorityTypeChanged()"));
        QVERIFY(changed.isValid());
        for (const char* name : facts) {
            const QMetaProperty property = meta.property(meta.indexOfProperty(name));
            QVERIFY2(property.isValid(), name);
            QCOMPARE(property.userType(), int(QMetaType::Bool));
            QVERIFY2(!property.isWritable(), name);
            QVERIFY2(property.hasNotifySignal() && property.notifySignal() == changed, name);
        }
    }

    // No page keeps its own copy of the configuration numbers or of the model list: they read the
    // facts above (the system information page alone shows pictures by model).
    void noPageReadsConfigurationNumbers()
    {
        const QRegularExpression number(QStringLiteral("\\bauthorityType\\b"));
        const QRegularExpression model(QStringLiteral("\\bmachineName\\b|EnumOBJ\\.M_"));
        const QStringList offenders = pageFilesWhere([&](const QString& name, const QString& text) {
            const bool systemInfo = name.endsWith(QLatin1String("/SystemInfoPage.qml"));
            return text.contains(number) || (!systemInfo && text.contains(model));
        });
        QVERIFY2(offenders.isEmpty(), qPrintable(offenders.join(QLatin1Char('\n'))));
    }

    // QML calls imageEdit with none, one or two arguments.
    void imageEditTakesZeroToTwoArguments()
    {
        const QMetaObject& meta = IC_MainControl::staticMetaObject;
        QVERIFY(meta.indexOfMethod("imageEdit()") >= 0);
        QVERIFY(meta.indexOfMethod("imageEdit(QString)") >= 0);
        QVERIFY(meta.indexOfMethod("imageEdit(QString,QString)") >= 0);
        QVERIFY(meta.indexOfMethod("_WBTSPreExpChanged(double)") >= 0);
        QVERIFY(meta.indexOfMethod("exportImage(QVariantList,QString)") >= 0);
        QVERIFY(meta.indexOfMethod("exportImage(QString,QString,int)") >= 0);
    }
};

QTEST_GUILESS_MAIN(ContractTest)
#include "contract_test.moc"
