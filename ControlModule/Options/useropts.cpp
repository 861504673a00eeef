#include "useropts.h"

#include "optionsio.h"

namespace {
constexpr double kHistLevelPercentDefault = 0.001;
} // namespace

// In index order, 3 to 88 without gaps. histLevelPercent is loaded by its own rule.
const OptionEntry<UserOpts> UserOpts::s_entries[] = {
    {OPT_Language, "language", &UserOpts::m_language},
    {OPT_ImageSavePath, "imageSavePath", &UserOpts::m_imageSavePath},
    {OPT_ImageShowMode, "imageShowMode", &UserOpts::m_imageShowMode},
    {OPT_ImageClean, "imageClean", &UserOpts::m_imageClean},
    {OPT_ImageCleanTime, "imageCleanTime", &UserOpts::m_imageCleanTime},
    {OPT_LightAutoShutDownTime, "lightAutoShutDownTime", &UserOpts::m_lightAutoShutDownTime},
    {OPT_ExportPath, "exportPath", &UserOpts::m_exportPath},
    {OPT_F535nmSelected, "f535nmSelected", &UserOpts::m_f535nmSelected},
    {OPT_F590nmSelected, "f590nmSelected", &UserOpts::m_f590nmSelected},
    {OPT_F605nmSelected, "f605nmSelected", &UserOpts::m_f605nmSelected},
    {OPT_F700nmSelected, "f700nmSelected", &UserOpts::m_f700nmSelected},
    {OPT_F840nmSelected, "f840nmSelected", &UserOpts::m_f840nmSelected},
    {OPT_AutoMatchFilter, "autoMatchFilter", &UserOpts::m_autoMatchFilter},
    {OPT_WhiteLightFilterPos, "whiteLightFilterPos", &UserOpts::m_whiteLightFilterPos},
    {OPT_UV302nmFilterPos, "uv302nmFilterPos", &UserOpts::m_uv302nmFilterPos},
    {OPT_R625nmFilterPos, "r625nmFilterPos", &UserOpts::m_r625nmFilterPos},
    {OPT_G520nmFilterPos, "g520nmFilterPos", &UserOpts::m_g520nmFilterPos},
    {OPT_B470nmFilterPos, "b470nmFilterPos", &UserOpts::m_b470nmFilterPos},
    {OPT_IR660nmFilterPos, "ir660nmFilterPos", &UserOpts::m_ir660nmFilterPos},
    {OPT_IR740nmFilterPos, "ir740nmFilterPos", &UserOpts::m_ir740nmFilterPos},
    {OPT_UV254nmFilterPos, "uv254nmFilterPos", &UserOpts::m_uv254nmFilterPos},
    {OPT_UV365nmFilterPos, "uv365nmFilterPos", &UserOpts::m_uv365nmFilterPos},
    {OPT_BlueFilterPos, "blueFilterPos", &UserOpts::m_blueFilterPos},
    {OPT_UV254nmSelected, "uv254nmSelected", &UserOpts::m_uv254nmSelected},
    {OPT_UV365nmSelected, "uv365nmSelected", &UserOpts::m_uv365nmSelected},
    {OPT_MainTitle, "mainTitle", &UserOpts::m_mainTitle},
    {OPT_SubTitle, "subTitle", &UserOpts::m_subTitle},
    {OPT_CameraCooling, "cameraCooling", &UserOpts::m_cameraCooling},
    {OPT_MarkerCapture, "markerCapture", &UserOpts::m_markerCapture},
    {OPT_SampleImageBkColor, "sampleImageBkColor", &UserOpts::m_sampleImageBkColor},
    {OPT_IntelligentAnalysis, "intelligentAnalysis", &UserOpts::m_intelligentAnalysis},
    {OPT_SingleCapExpTime, "singleCapExpTime", &UserOpts::m_singleCapExpTime},
    {OPT_MultiCapCount, "multiCapCount", &UserOpts::m_multiCapCount},
    {OPT_MultiCapFirstTime, "multiCapFirstTime", &UserOpts::m_multiCapFirstTime},
    {OPT_MultiCapDeltaTime, "multiCapDeltaTime", &UserOpts::m_multiCapDeltaTime},
    {OPT_MultiCapFirstTimeUnit, "multiCapFirstTimeUnit", &UserOpts::m_multiCapFirstTimeUnit},
    {OPT_MultiCapDeltaTimeUnit, "multiCapDeltaTimeUnit", &UserOpts::m_multiCapDeltaTimeUnit},
    {OPT_MultiCapExpTimes, "multiCapExpTimes", &UserOpts::m_multiCapExpTimes},
    {OPT_MultiCapExpTimesChanged, "multiCapExpTimesChanged", &UserOpts::m_multiCapExpTimesChanged},
    {OPT_IntegralAccumulate, "integralAccumulate", &UserOpts::m_integralAccumulate},
    {OPT_AlreadyEnterUM, "alreadyEnterUM", &UserOpts::m_alreadyEnterUM},
    {OPT_AlreadyEnterRM, "alreadyEnterRM", &UserOpts::m_alreadyEnterRM},
    {OPT_AlreadyEnterGM, "alreadyEnterGM", &UserOpts::m_alreadyEnterGM},
    {OPT_LastLoginUser, "lastLoginUser", &UserOpts::m_lastLoginUser},
    {OPT_FocusCurrentAddr, "focusCurrentAddr", &UserOpts::m_focusCurrentAddr},
    {OPT_FocusMin, "focusMin", &UserOpts::m_focusMin},
    {OPT_FocusMax, "focusMax", &UserOpts::m_focusMax},
    {OPT_AutoCapture, "autoCapture", &UserOpts::m_autoCapture},
    {OPT_BluePercent, "bluePercent", &UserOpts::m_bluePercent},
    {OPT_CurFocusValue, "curFocusValue", &UserOpts::m_curFocusValue},
    {OPT_IsSignature, "isSignature", &UserOpts::m_isSignature},
    {OPT_IsExposure, "isExposure", &UserOpts::m_isExposure, OptionRule::Keep},
    {OPT_IsAutoStretch, "isAutoStretch", &UserOpts::m_isAutoStretch, OptionRule::Keep},
    {OPT_IsAutoKeyboard, "isAutoKeyboard", &UserOpts::m_isAutoKeyboard, OptionRule::Keep},
    {OPT_AfOffset, "afOffset", &UserOpts::m_afOffset},
    {OPT_HISTLEVELPERCENT, "histLevelPercent", &UserOpts::m_histLevelPercent},
    {OPT_IsExportWatermark, "isExportWatermark", &UserOpts::m_isExportWatermark, OptionRule::Keep},
    {OPT_IsFFCOpen, "isFFCOpen", &UserOpts::m_isFFCOpen},
    {OPT_ColorMarker, "colorMarker", &UserOpts::m_colorMarker},
    {OPT_ColorMarkerVisible, "colorMarkerVisible", &UserOpts::m_colorMarkerVisible},
    {OPT_IsBeautifyPictures, "isBeautifyPictures", &UserOpts::m_isBeautifyPictures, OptionRule::Keep},
    {OPT_GelX, "gelX", &UserOpts::m_gelX},
    {OPT_GelY, "gelY", &UserOpts::m_gelY},
    {OPT_GelW, "gelW", &UserOpts::m_gelW},
    {OPT_GelH, "gelH", &UserOpts::m_gelH},
    {OPT_IsChangPathEveryTime, "isChangPathEveryTime", &UserOpts::m_isChangPathEveryTime, OptionRule::Keep},
    {OPT_LastFocusGel, "lastFocusGel", &UserOpts::m_lastFocusGel, OptionRule::Keep},
    {OPT_LastFocusUpWb, "lastFocusUpWb", &UserOpts::m_lastFocusUpWb, OptionRule::Keep},
    {OPT_LastFocusDownWb, "lastFocusDownWb", &UserOpts::m_lastFocusDownWb, OptionRule::Keep},
    {OPT_LastFocusFul, "lastFocusFul", &UserOpts::m_lastFocusFul, OptionRule::Keep},
    {OPT_WBX, "wbX", &UserOpts::m_wbX},
    {OPT_WBY, "wbY", &UserOpts::m_wbY},
    {OPT_WBW, "wbW", &UserOpts::m_wbW},
    {OPT_WBH, "wbH", &UserOpts::m_wbH},
    {OPT_FluX, "fluX", &UserOpts::m_fluX},
    {OPT_FluY, "fluY", &UserOpts::m_fluY},
    {OPT_FluW, "fluW", &UserOpts::m_fluW},
    {OPT_FluH, "fluH", &UserOpts::m_fluH},
    {OPT_FocusPosition, "focusPosition", &UserOpts::m_focusPosition},
    {OPT_SharpenLevel, "sharpenLevel", &UserOpts::m_sharpenLevel, OptionRule::Keep},
    {OPT_StrengthMarker, "strengthMarker", &UserOpts::m_strengthMarker, OptionRule::Keep},
    {OPT_CurFocusGel, "curFocusGel", &UserOpts::m_curFocusGel, OptionRule::Keep},
    {OPT_CurFocusWB, "curFocusWB", &UserOpts::m_curFocusWB, OptionRule::Keep},
    {OPT_CurFocusFul, "curFocusFul", &UserOpts::m_curFocusFul, OptionRule::Keep},
    {OPT_GrayTarget, "grayTarget", &UserOpts::m_grayTarget, OptionRule::Keep},
    {OPT_AverageGrayThd, "averageGrayThd", &UserOpts::m_averageGrayThd, OptionRule::Keep},
};

UserOpts* UserOpts::getInstance()
{
    return OptionsIo::processStore<UserOpts>("Ini/userOption.ini");
}

UserOpts::UserOpts(const QString& iniPath, QObject* parent)
    : QObject(parent)
    , m_store(this, iniPath, QStringLiteral("UserOption"), s_entries)
{
    for (UserOptType index : {OPT_IsExposure, OPT_IsAutoStretch, OPT_IsAutoKeyboard, OPT_IsExportWatermark,
                              OPT_ColorMarkerVisible, OPT_IsBeautifyPictures, OPT_IsChangPathEveryTime,
                              OPT_FocusPosition, OPT_SharpenLevel, OPT_LastFocusDownWb, OPT_LastFocusUpWb,
                              OPT_LastFocusGel, OPT_LastFocusFul, OPT_GrayTarget, OPT_StrengthMarker,
                              OPT_AverageGrayThd})
        loadUserOptsByName(index);
}

UserOpts::~UserOpts() = default;

QString UserOpts::filePath() const
{
    return m_store.fileName();
}

void UserOpts::saveUserOptsByName(UserOpts::UserOptType userOptType)
{
    m_store.save(userOptType);
}

void UserOpts::loadUserOptsByName(UserOpts::UserOptType userOptType)
{
    if (userOptType == OPT_HISTLEVELPERCENT)
        loadHistLevelPercent();
    else
        m_store.load(userOptType);
}

void UserOpts::loadHistLevelPercent()
{
    QMutexLocker locker(&m_store.mutex());
    const QString text = OptionsIo::text(m_store.value("histLevelPercent"));
    // Only a usable fraction is honoured; anything else falls back to the default.
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    m_histLevelPercent = (ok && value > 0.0 && value < 1.0) ? value : kHistLevelPercentDefault;
    if (text.isEmpty()) {
        m_store.setValue("histLevelPercent", kHistLevelPercentDefault);
        m_store.sync();
    }
}

void UserOpts::loadFocusOpts()
{
    for (UserOptType index : {OPT_FocusCurrentAddr, OPT_FocusMin, OPT_FocusMax})
        loadUserOptsByName(index);
}

void UserOpts::saveFocusOpts()
{
    for (UserOptType index : {OPT_FocusCurrentAddr, OPT_FocusMin, OPT_FocusMax})
        saveUserOptsByName(index);
}

void UserOpts::loadMultiCapOpts()
{
    for (UserOptType index : {OPT_MultiCapCount, OPT_MultiCapFirstTime, OPT_MultiCapDeltaTime,
                              OPT_MultiCapFirstTimeUnit, OPT_MultiCapDeltaTimeUnit})
        loadUserOptsByName(index);
}

void UserOpts::saveMultiCapOpts()
{
    for (UserOptType index : {OPT_MultiCapCount, OPT_MultiCapFirstTime, OPT_MultiCapDeltaTime,
                              OPT_MultiCapFirstTimeUnit, OPT_MultiCapDeltaTimeUnit})
        saveUserOptsByName(index);
}

void UserOpts::initFocusDefaults()
{
    m_store.applyDefaults({
        {OPT_FocusCurrentAddr, 10},
        {OPT_BluePercent, 100},
        {OPT_ImageCleanTime, 7},
        {OPT_LightAutoShutDownTime, 5},
    });
}

void UserOpts::initCaptureDefaults()
{
    m_store.applyDefaults({
        {OPT_SingleCapExpTime, 1000},
        {OPT_MultiCapCount, 2},
        {OPT_MultiCapFirstTime, 1},
        {OPT_MultiCapFirstTimeUnit, int(Second)},
        {OPT_MultiCapDeltaTime, 1},
        {OPT_MultiCapDeltaTimeUnit, int(Second)},
        {OPT_ImageCleanTime, 7},
        {OPT_LightAutoShutDownTime, 3},
    });
}

void UserOpts::initExtraDefaults()
{
}

double UserOpts::histLevelPercent() const
{
    return m_store.get(m_histLevelPercent);
}
