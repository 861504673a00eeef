#pragma once

#include <QObject>
#include <QString>

#include "optionstore.h"

// Operator settings in <appDir>/Ini/userOption.ini, group "UserOption". Callers load an option
// by index before reading it and save it by index after writing it; nothing is automatic.
// Every accessor, load and save takes one mutex: capture threads reload options while the GUI
// thread reads and writes the same members.
class UserOpts : public QObject {
    Q_OBJECT
    Q_PROPERTY(LanguageType language READ language WRITE setLanguage)
    Q_PROPERTY(QString imageSavePath READ imageSavePath WRITE setImageSavePath)
    Q_PROPERTY(int imageShowMode READ imageShowMode WRITE setImageShowMode)
    Q_PROPERTY(bool imageClean READ imageClean WRITE setImageClean)
    Q_PROPERTY(int imageCleanTime READ imageCleanTime WRITE setImageCleanTime)
    Q_PROPERTY(int lightAutoShutDownTime READ lightAutoShutDownTime WRITE setLightAutoShutDownTime)
    Q_PROPERTY(QString exportPath READ exportPath WRITE setExportPath)
    Q_PROPERTY(bool f535nmSelected READ f535nmSelected WRITE setF535nmSelected)
    Q_PROPERTY(bool f590nmSelected READ f590nmSelected WRITE setF590nmSelected)
    Q_PROPERTY(bool f605nmSelected READ f605nmSelected WRITE setF605nmSelected)
    Q_PROPERTY(bool f700nmSelected READ f700nmSelected WRITE setF700nmSelected)
    Q_PROPERTY(bool f840nmSelected READ f840nmSelected WRITE setF840nmSelected)
    Q_PROPERTY(bool autoMatchFilter READ autoMatchFilter WRITE setAutoMatchFilter)
    Q_PROPERTY(int whiteLightFilterPos READ whiteLightFilterPos WRITE setWhiteLightFilterPos)
    Q_PROPERTY(int uv302nmFilterPos READ uv302nmFilterPos WRITE setUv302nmFilterPos)
    Q_PROPERTY(int r625nmFilterPos READ r625nmFilterPos WRITE setR625nmFilterPos)
    Q_PROPERTY(int g520nmFilterPos READ g520nmFilterPos WRITE setG520nmFilterPos)
    Q_PROPERTY(int b470nmFilterPos READ b470nmFilterPos WRITE setB470nmFilterPos)
    Q_PROPERTY(int ir660nmFilterPos READ ir660nmFilterPos WRITE setIr660nmFilterPos)
    Q_PROPERTY(int ir740nmFilterPos READ ir740nmFilterPos WRITE setIr740nmFilterPos)
    Q_PROPERTY(int uv254nmFilterPos READ uv254nmFilterPos WRITE setUv254nmFilterPos)
    Q_PROPERTY(int uv365nmFilterPos READ uv365nmFilterPos WRITE setUv365nmFilterPos)
    Q_PROPERTY(int blueFilterPos READ blueFilterPos WRITE setBlueFilterPos)
    Q_PROPERTY(bool uv254nmSelected READ uv254nmSelected WRITE setUv254nmSelected)
    Q_PROPERTY(bool uv365nmSelected READ uv365nmSelected WRITE setUv365nmSelected)
    Q_PROPERTY(QString mainTitle READ mainTitle WRITE setMainTitle)
    Q_PROPERTY(QString subTitle READ subTitle WRITE setSubTitle)
    Q_PROPERTY(bool cameraCooling READ cameraCooling WRITE setCameraCooling)
    Q_PROPERTY(bool markerCapture READ markerCapture WRITE setMarkerCapture NOTIFY markerCaptureChanged)
    Q_PROPERTY(BkColorType sampleImageBkColor READ sampleImageBkColor WRITE setSampleImageBkColor)
    Q_PROPERTY(AnalysisType intelligentAnalysis READ intelligentAnalysis WRITE setIntelligentAnalysis)
    Q_PROPERTY(int singleCapExpTime READ singleCapExpTime WRITE setSingleCapExpTime)
    Q_PROPERTY(int multiCapCount READ multiCapCount WRITE setMultiCapCount NOTIFY multiCapCountChanged)
    Q_PROPERTY(int multiCapFirstTime READ multiCapFirstTime WRITE setMultiCapFirstTime)
    Q_PROPERTY(int multiCapDeltaTime READ multiCapDeltaTime WRITE setMultiCapDeltaTime)
    Q_PROPERTY(UnitType multiCapFirstTimeUnit READ multiCapFirstTimeUnit WRITE setMultiCapFirstTimeUnit)
    Q_PROPERTY(UnitType multiCapDeltaTimeUnit READ multiCapDeltaTimeUnit WRITE setMultiCapDeltaTimeUnit)
    Q_PROPERTY(QString multiCapExpTimes READ multiCapExpTimes WRITE setMultiCapExpTimes)
    Q_PROPERTY(bool multiCapExpTimesChanged READ multiCapExpTimesChanged WRITE setMultiCapExpTimesChanged NOTIFY multiCapExpTimesChangedChanged)
    Q_PROPERTY(bool integralAccumulate READ integralAccumulate WRITE setIntegralAccumulate)
    Q_PROPERTY(bool alreadyEnterUM READ alreadyEnterUM WRITE setAlreadyEnterUM)
    Q_PROPERTY(bool alreadyEnterRM READ alreadyEnterRM WRITE setAlreadyEnterRM)
    Q_PROPERTY(bool alreadyEnterGM READ alreadyEnterGM WRITE setAlreadyEnterGM)
    Q_PROPERTY(QString lastLoginUser READ lastLoginUser WRITE setLastLoginUser)
    Q_PROPERTY(int focusCurrentAddr READ focusCurrentAddr WRITE setFocusCurrentAddr)
    Q_PROPERTY(int focusMin READ focusMin WRITE setFocusMin)
    Q_PROPERTY(int focusMax READ focusMax WRITE setFocusMax)
    Q_PROPERTY(bool autoCapture READ autoCapture WRITE setAutoCapture)
    Q_PROPERTY(int bluePercent READ bluePercent WRITE setBluePercent)
    Q_PROPERTY(int curFocusValue READ curFocusValue WRITE setCurFocusValue)
    Q_PROPERTY(bool isSignature READ isSignature WRITE setIsSignature)
    Q_PROPERTY(bool isExposure READ isExposure WRITE setIsExposure)
    Q_PROPERTY(bool isAutoStretch READ isAutoStretch WRITE setIsAutoStretch)
    Q_PROPERTY(bool isAutoKeyboard READ isAutoKeyboard WRITE setIsAutoKeyboard)
    Q_PROPERTY(int afOffset READ afOffset WRITE setAfOffset)
    Q_PROPERTY(bool isExportWatermark READ isExportWatermark WRITE setIsExportWatermark)
    Q_PROPERTY(bool isFFCOpen READ isFFCOpen WRITE setIsFFCOpen NOTIFY isFFCOpenChanged)
    Q_PROPERTY(bool colorMarker READ colorMarker WRITE setColorMarker)
    Q_PROPERTY(bool colorMarkerVisible READ colorMarkerVisible WRITE setColorMarkerVisible NOTIFY colorMarkerVisibleChanged)
    Q_PROPERTY(bool isBeautifyPictures READ isBeautifyPictures WRITE setIsBeautifyPictures NOTIFY isBeautifyPicturesChanged)
    Q_PROPERTY(int gelX READ gelX WRITE setGelX)
    Q_PROPERTY(int gelY READ gelY WRITE setGelY)
    Q_PROPERTY(int gelW READ gelW WRITE setGelW)
    Q_PROPERTY(int gelH READ gelH WRITE setGelH)
    Q_PROPERTY(bool isChangPathEveryTime READ isChangPathEveryTime WRITE setIsChangPathEveryTime)
    Q_PROPERTY(int lastFocusGel READ lastFocusGel WRITE setLastFocusGel)
    Q_PROPERTY(int lastFocusUpWb READ lastFocusUpWb WRITE setLastFocusUpWb)
    Q_PROPERTY(int lastFocusDownWb READ lastFocusDownWb WRITE setLastFocusDownWb)
    Q_PROPERTY(int lastFocusFul READ lastFocusFul WRITE setLastFocusFul)
    Q_PROPERTY(int wbX READ wbX WRITE setWbX)
    Q_PROPERTY(int wbY READ wbY WRITE setWbY)
    Q_PROPERTY(int wbW READ wbW WRITE setWbW)
    Q_PROPERTY(int wbH READ wbH WRITE setWbH)
    Q_PROPERTY(int fluX READ fluX WRITE setFluX)
    Q_PROPERTY(int fluY READ fluY WRITE setFluY)
    Q_PROPERTY(int fluW READ fluW WRITE setFluW)
    Q_PROPERTY(int fluH READ fluH WRITE setFluH)
    Q_PROPERTY(int focusPosition READ focusPosition WRITE setFocusPosition)
    Q_PROPERTY(int sharpenLevel READ sharpenLevel WRITE setSharpenLevel)
    Q_PROPERTY(bool strengthMarker READ strengthMarker WRITE setStrengthMarker NOTIFY strengthMarkerChanged)
    Q_PROPERTY(int curFocusGel READ curFocusGel WRITE setCurFocusGel)
    Q_PROPERTY(int curFocusWB READ curFocusWB WRITE setCurFocusWB)
    Q_PROPERTY(int curFocusFul READ curFocusFul WRITE setCurFocusFul)
    Q_PROPERTY(int grayTarget READ grayTarget WRITE setGrayTarget)
    Q_PROPERTY(int averageGrayThd READ averageGrayThd WRITE setAverageGrayThd)
    Q_PROPERTY(QString lastPassword READ lastPassword WRITE setLastPassword)
    Q_PROPERTY(int lastAuthorityId READ lastAuthorityId WRITE setLastAuthorityId)
    Q_PROPERTY(int lastGroupId READ lastGroupId WRITE setLastGroupId)
    Q_PROPERTY(int curDetailSharpenLevel READ curDetailSharpenLevel WRITE setCurDetailSharpenLevel)
    Q_PROPERTY(bool isDetailSharpend READ isDetailSharpend WRITE setIsDetailSharpend)
    Q_PROPERTY(int curDetailMinInten READ curDetailMinInten WRITE setCurDetailMinInten)
    Q_PROPERTY(int curDetailMaxInten READ curDetailMaxInten WRITE setCurDetailMaxInten)
    Q_PROPERTY(bool isDetailStretch READ isDetailStretch WRITE setIsDetailStretch)

public:
    enum LanguageType { Chinese = 0, English = 1 };
    Q_ENUM(LanguageType)
    enum ImageShowModeType { Center = 0, Fill = 1 };
    Q_ENUM(ImageShowModeType)
    enum BkColorType { White = 0, Black = 1 };
    Q_ENUM(BkColorType)
    enum AnalysisType { CloseSensitivity = 0, OpenSensitivity = 1 };
    Q_ENUM(AnalysisType)
    enum UnitType { Millisecond = 0, Second = 1, Minute = 2 };
    Q_ENUM(UnitType)
    // Fixed underlying type: callers may pass indexes outside the table, which are ignored.
    enum UserOptType : int {
        OPT_Language = 3,
        OPT_ImageSavePath = 4,
        OPT_ImageShowMode = 5,
        OPT_ImageClean = 6,
        OPT_ImageCleanTime = 7,
        OPT_LightAutoShutDownTime = 8,
        OPT_ExportPath = 9,
        OPT_F535nmSelected = 10,
        OPT_F590nmSelected = 11,
        OPT_F605nmSelected = 12,
        OPT_F700nmSelected = 13,
        OPT_F840nmSelected = 14,
        OPT_AutoMatchFilter = 15,
        OPT_WhiteLightFilterPos = 16,
        OPT_UV302nmFilterPos = 17,
        OPT_R625nmFilterPos = 18,
        OPT_G520nmFilterPos = 19,
        OPT_B470nmFilterPos = 20,
        OPT_IR660nmFilterPos = 21,
        OPT_IR740nmFilterPos = 22,
        OPT_UV254nmFilterPos = 23,
        OPT_UV365nmFilterPos = 24,
        OPT_BlueFilterPos = 25,
        OPT_UV254nmSelected = 26,
        OPT_UV365nmSelected = 27,
        OPT_MainTitle = 28,
        OPT_SubTitle = 29,
        OPT_CameraCooling = 30,
        OPT_MarkerCapture = 31,
        OPT_SampleImageBkColor = 32,
        OPT_IntelligentAnalysis = 33,
        OPT_SingleCapExpTime = 34,
        OPT_MultiCapCount = 35,
        OPT_MultiCapFirstTime = 36,
        OPT_MultiCapDeltaTime = 37,
        OPT_MultiCapFirstTimeUnit = 38,
        OPT_MultiCapDeltaTimeUnit = 39,
        OPT_MultiCapExpTimes = 40,
        OPT_MultiCapExpTimesChanged = 41,
        OPT_IntegralAccumulate = 42,
        OPT_AlreadyEnterUM = 43,
        OPT_AlreadyEnterRM = 44,
        OPT_AlreadyEnterGM = 45,
        OPT_LastLoginUser = 46,
        OPT_FocusCurrentAddr = 47,
        OPT_FocusMin = 48,
        OPT_FocusMax = 49,
        OPT_AutoCapture = 50,
        OPT_BluePercent = 51,
        OPT_CurFocusValue = 52,
        OPT_IsSignature = 53,
        OPT_IsExposure = 54,
        OPT_IsAutoStretch = 55,
        OPT_IsAutoKeyboard = 56,
        OPT_AfOffset = 57,
        OPT_HISTLEVELPERCENT = 58,
        OPT_IsExportWatermark = 59,
        OPT_IsFFCOpen = 60,
        OPT_ColorMarker = 61,
        OPT_ColorMarkerVisible = 62,
        OPT_IsBeautifyPictures = 63,
        OPT_GelX = 64,
        OPT_GelY = 65,
        OPT_GelW = 66,
        OPT_GelH = 67,
        OPT_IsChangPathEveryTime = 68,
        OPT_LastFocusGel = 69,
        OPT_LastFocusUpWb = 70,
        OPT_LastFocusDownWb = 71,
        OPT_LastFocusFul = 72,
        OPT_WBX = 73,
        OPT_WBY = 74,
        OPT_WBW = 75,
        OPT_WBH = 76,
        OPT_FluX = 77,
        OPT_FluY = 78,
        OPT_FluW = 79,
        OPT_FluH = 80,
        OPT_FocusPosition = 81,
        OPT_SharpenLevel = 82,
        OPT_StrengthMarker = 83,
        OPT_CurFocusGel = 84,
        OPT_CurFocusWB = 85,
        OPT_CurFocusFul = 86,
        OPT_GrayTarget = 87,
        OPT_AverageGrayThd = 88,
    };
    Q_ENUM(UserOptType)
    enum UserInfoType { Rowid = 0, UserName, PassWord, Name, Authority, IsRemember, GroupId };
    Q_ENUM(UserInfoType)

    // The process-wide instance on <appDir>/Ini/userOption.ini, created on first use.
    static UserOpts* getInstance();
    // A store on another file (tests; the process uses getInstance()).
    explicit UserOpts(const QString& iniPath, QObject* parent = nullptr);
    ~UserOpts() override;

    Q_INVOKABLE void saveUserOptsByName(UserOpts::UserOptType userOptType);
    Q_INVOKABLE void loadUserOptsByName(UserOpts::UserOptType userOptType);
    Q_INVOKABLE void loadFocusOpts();
    Q_INVOKABLE void saveFocusOpts();
    void loadMultiCapOpts();
    void saveMultiCapOpts();

    // Start-up defaults: each writes a default only for a key the file lacks.
    void initFocusDefaults();
    void initCaptureDefaults();
    void initExtraDefaults();

    QString filePath() const;
    double histLevelPercent() const;

    LanguageType language() const;
    void setLanguage(LanguageType value);
    QString imageSavePath() const;
    void setImageSavePath(const QString& value);
    int imageShowMode() const;
    void setImageShowMode(int value);
    bool imageClean() const;
    void setImageClean(bool value);
    int imageCleanTime() const;
    void setImageCleanTime(int value);
    int lightAutoShutDownTime() const;
    void setLightAutoShutDownTime(int value);
    QString exportPath() const;
    void setExportPath(const QString& value);
    bool f535nmSelected() const;
    void setF535nmSelected(bool value);
    bool f590nmSelected() const;
    void setF590nmSelected(bool value);
    bool f605nmSelected() const;
    void setF605nmSelected(bool value);
    bool f700nmSelected() const;
    void setF700nmSelected(bool value);
    bool f840nmSelected() const;
    void setF840nmSelected(bool value);
    bool autoMatchFilter() const;
    void setAutoMatchFilter(bool value);
    int whiteLightFilterPos() const;
    void setWhiteLightFilterPos(int value);
    int uv302nmFilterPos() const;
    void setUv302nmFilterPos(int value);
    int r625nmFilterPos() const;
    void setR625nmFilterPos(int value);
    int g520nmFilterPos() const;
    void setG520nmFilterPos(int value);
    int b470nmFilterPos() const;
    void setB470nmFilterPos(int value);
    int ir660nmFilterPos() const;
    void setIr660nmFilterPos(int value);
    int ir740nmFilterPos() const;
    void setIr740nmFilterPos(int value);
    int uv254nmFilterPos() const;
    void setUv254nmFilterPos(int value);
    int uv365nmFilterPos() const;
    void setUv365nmFilterPos(int value);
    int blueFilterPos() const;
    void setBlueFilterPos(int value);
    bool uv254nmSelected() const;
    void setUv254nmSelected(bool value);
    bool uv365nmSelected() const;
    void setUv365nmSelected(bool value);
    QString mainTitle() const;
    void setMainTitle(const QString& value);
    QString subTitle() const;
    void setSubTitle(const QString& value);
    bool cameraCooling() const;
    void setCameraCooling(bool value);
    bool markerCapture() const;
    void setMarkerCapture(bool value);
    BkColorType sampleImageBkColor() const;
    void setSampleImageBkColor(BkColorType value);
    AnalysisType intelligentAnalysis() const;
    void setIntelligentAnalysis(AnalysisType value);
    int singleCapExpTime() const;
    void setSingleCapExpTime(int value);
    int multiCapCount() const;
    void setMultiCapCount(int value);
    int multiCapFirstTime() const;
    void setMultiCapFirstTime(int value);
    int multiCapDeltaTime() const;
    void setMultiCapDeltaTime(int value);
    UnitType multiCapFirstTimeUnit() const;
    void setMultiCapFirstTimeUnit(UnitType value);
    UnitType multiCapDeltaTimeUnit() const;
    void setMultiCapDeltaTimeUnit(UnitType value);
    QString multiCapExpTimes() const;
    void setMultiCapExpTimes(const QString& value);
    bool multiCapExpTimesChanged() const;
    void setMultiCapExpTimesChanged(bool value);
    bool integralAccumulate() const;
    void setIntegralAccumulate(bool value);
    bool alreadyEnterUM() const;
    void setAlreadyEnterUM(bool value);
    bool alreadyEnterRM() const;
    void setAlreadyEnterRM(bool value);
    bool alreadyEnterGM() const;
    void setAlreadyEnterGM(bool value);
    QString lastLoginUser() const;
    void setLastLoginUser(const QString& value);
    int focusCurrentAddr() const;
    void setFocusCurrentAddr(int value);
    int focusMin() const;
    void setFocusMin(int value);
    int focusMax() const;
    void setFocusMax(int value);
    bool autoCapture() const;
    void setAutoCapture(bool value);
    int bluePercent() const;
    void setBluePercent(int value);
    int curFocusValue() const;
    void setCurFocusValue(int value);
    bool isSignature() const;
    void setIsSignature(bool value);
    bool isExposure() const;
    void setIsExposure(bool value);
    bool isAutoStretch() const;
    void setIsAutoStretch(bool value);
    bool isAutoKeyboard() const;
    void setIsAutoKeyboard(bool value);
    int afOffset() const;
    void setAfOffset(int value);
    bool isExportWatermark() const;
    void setIsExportWatermark(bool value);
    bool isFFCOpen() const;
    void setIsFFCOpen(bool value);
    bool colorMarker() const;
    void setColorMarker(bool value);
    bool colorMarkerVisible() const;
    void setColorMarkerVisible(bool value);
    bool isBeautifyPictures() const;
    void setIsBeautifyPictures(bool value);
    int gelX() const;
    void setGelX(int value);
    int gelY() const;
    void setGelY(int value);
    int gelW() const;
    void setGelW(int value);
    int gelH() const;
    void setGelH(int value);
    bool isChangPathEveryTime() const;
    void setIsChangPathEveryTime(bool value);
    int lastFocusGel() const;
    void setLastFocusGel(int value);
    int lastFocusUpWb() const;
    void setLastFocusUpWb(int value);
    int lastFocusDownWb() const;
    void setLastFocusDownWb(int value);
    int lastFocusFul() const;
    void setLastFocusFul(int value);
    int wbX() const;
    void setWbX(int value);
    int wbY() const;
    void setWbY(int value);
    int wbW() const;
    void setWbW(int value);
    int wbH() const;
    void setWbH(int value);
    int fluX() const;
    void setFluX(int value);
    int fluY() const;
    void setFluY(int value);
    int fluW() const;
    void setFluW(int value);
    int fluH() const;
    void setFluH(int value);
    int focusPosition() const;
    void setFocusPosition(int value);
    int sharpenLevel() const;
    void setSharpenLevel(int value);
    bool strengthMarker() const;
    void setStrengthMarker(bool value);
    int curFocusGel() const;
    void setCurFocusGel(int value);
    int curFocusWB() const;
    void setCurFocusWB(int value);
    int curFocusFul() const;
    void setCurFocusFul(int value);
    int grayTarget() const;
    void setGrayTarget(int value);
    int averageGrayThd() const;
    void setAverageGrayThd(int value);
    QString lastPassword() const;
    void setLastPassword(const QString& value);
    int lastAuthorityId() const;
    void setLastAuthorityId(int value);
    int lastGroupId() const;
    void setLastGroupId(int value);
    int curDetailSharpenLevel() const;
    void setCurDetailSharpenLevel(int value);
    bool isDetailSharpend() const;
    void setIsDetailSharpend(bool value);
    int curDetailMinInten() const;
    void setCurDetailMinInten(int value);
    int curDetailMaxInten() const;
    void setCurDetailMaxInten(int value);
    bool isDetailStretch() const;
    void setIsDetailStretch(bool value);

signals:
    void colorMarkerVisibleChanged();
    void markerCaptureChanged();
    void isBeautifyPicturesChanged();
    void multiCapCountChanged();
    void strengthMarkerChanged();
    void multiCapExpTimesChangedChanged();
    void isFFCOpenChanged();

private:
    static const OptionEntry<UserOpts> s_entries[];
    void loadHistLevelPercent();

    OptionStore<UserOpts> m_store;

    int m_language{0};
    QString m_imageSavePath;
    int m_imageShowMode{0};
    bool m_imageClean{false};
    int m_imageCleanTime{0};
    int m_lightAutoShutDownTime{0};
    QString m_exportPath;
    bool m_f535nmSelected{false};
    bool m_f590nmSelected{false};
    bool m_f605nmSelected{false};
    bool m_f700nmSelected{false};
    bool m_f840nmSelected{false};
    bool m_autoMatchFilter{false};
    int m_whiteLightFilterPos{0};
    int m_uv302nmFilterPos{0};
    int m_r625nmFilterPos{0};
    int m_g520nmFilterPos{0};
    int m_b470nmFilterPos{0};
    int m_ir660nmFilterPos{0};
    int m_ir740nmFilterPos{0};
    int m_uv254nmFilterPos{0};
    int m_uv365nmFilterPos{0};
    int m_blueFilterPos{0};
    bool m_uv254nmSelected{false};
    bool m_uv365nmSelected{false};
    QString m_mainTitle;
    QString m_subTitle;
    bool m_cameraCooling{false};
    bool m_markerCapture{false};
    int m_sampleImageBkColor{0};
    int m_intelligentAnalysis{0};
    int m_singleCapExpTime{0};
    int m_multiCapCount{0};
    int m_multiCapFirstTime{0};
    int m_multiCapDeltaTime{0};
    int m_multiCapFirstTimeUnit{0};
    int m_multiCapDeltaTimeUnit{0};
    QString m_multiCapExpTimes;
    bool m_multiCapExpTimesChanged{false};
    bool m_integralAccumulate{false};
    bool m_alreadyEnterUM{false};
    bool m_alreadyEnterRM{false};
    bool m_alreadyEnterGM{false};
    QString m_lastLoginUser;
    int m_focusCurrentAddr{0};
    int m_focusMin{0};
    int m_focusMax{0};
    bool m_autoCapture{false};
    int m_bluePercent{0};
    int m_curFocusValue{0};
    bool m_isSignature{false};
    bool m_isExposure{false};
    bool m_isAutoStretch{true};
    bool m_isAutoKeyboard{true};
    int m_afOffset{0};
    double m_histLevelPercent{0.001};
    bool m_isExportWatermark{true};
    bool m_isFFCOpen{false};
    bool m_colorMarker{false};
    bool m_colorMarkerVisible{false};
    bool m_isBeautifyPictures{false};
    int m_gelX{0};
    int m_gelY{0};
    int m_gelW{0};
    int m_gelH{0};
    bool m_isChangPathEveryTime{false};
    int m_lastFocusGel{1500};
    int m_lastFocusUpWb{1700};
    int m_lastFocusDownWb{1500};
    int m_lastFocusFul{1500};
    int m_wbX{0};
    int m_wbY{0};
    int m_wbW{0};
    int m_wbH{0};
    int m_fluX{0};
    int m_fluY{0};
    int m_fluW{0};
    int m_fluH{0};
    int m_focusPosition{0};
    int m_sharpenLevel{0};
    bool m_strengthMarker{false};
    int m_curFocusGel{1500};
    int m_curFocusWB{1500};
    int m_curFocusFul{1500};
    int m_grayTarget{100};
    int m_averageGrayThd{5};
    QString m_lastPassword;
    int m_lastAuthorityId{0};
    int m_lastGroupId{0};
    int m_curDetailSharpenLevel{50};
    bool m_isDetailSharpend{true};
    int m_curDetailMinInten{0};
    int m_curDetailMaxInten{65535};
    bool m_isDetailStretch{true};
};
