#include "useropts.h"

#include "apppaths.h"
#include "optionsio.h"

#include <QAtomicPointer>
#include <QDebug>
#include <QMutexLocker>

#include <variant>

namespace {
const QString kGroup = QStringLiteral("UserOption");
constexpr double kHistLevelPercentDefault = 0.001;
} // namespace

struct UserOpts::Entry {
    enum Rule { Plain, Keep, HistLevel };
    using Member = std::variant<bool UserOpts::*, int UserOpts::*, double UserOpts::*, QString UserOpts::*>;
    int index;
    const char* key;
    Member member;
    Rule rule;
};

struct UserOpts::Default {
    int index;
    QVariant value;
};

const UserOpts::Entry* UserOpts::entryFor(int index)
{
    static const Entry entries[] = {
        {OPT_Language, "language", &UserOpts::m_language, Entry::Plain},
        {OPT_ImageSavePath, "imageSavePath", &UserOpts::m_imageSavePath, Entry::Plain},
        {OPT_ImageShowMode, "imageShowMode", &UserOpts::m_imageShowMode, Entry::Plain},
        {OPT_ImageClean, "imageClean", &UserOpts::m_imageClean, Entry::Plain},
        {OPT_ImageCleanTime, "imageCleanTime", &UserOpts::m_imageCleanTime, Entry::Plain},
        {OPT_LightAutoShutDownTime, "lightAutoShutDownTime", &UserOpts::m_lightAutoShutDownTime, Entry::Plain},
        {OPT_ExportPath, "exportPath", &UserOpts::m_exportPath, Entry::Plain},
        {OPT_F535nmSelected, "f535nmSelected", &UserOpts::m_f535nmSelected, Entry::Plain},
        {OPT_F590nmSelected, "f590nmSelected", &UserOpts::m_f590nmSelected, Entry::Plain},
        {OPT_F605nmSelected, "f605nmSelected", &UserOpts::m_f605nmSelected, Entry::Plain},
        {OPT_F700nmSelected, "f700nmSelected", &UserOpts::m_f700nmSelected, Entry::Plain},
        {OPT_F840nmSelected, "f840nmSelected", &UserOpts::m_f840nmSelected, Entry::Plain},
        {OPT_AutoMatchFilter, "autoMatchFilter", &UserOpts::m_autoMatchFilter, Entry::Plain},
        {OPT_WhiteLightFilterPos, "whiteLightFilterPos", &UserOpts::m_whiteLightFilterPos, Entry::Plain},
        {OPT_UV302nmFilterPos, "uv302nmFilterPos", &UserOpts::m_uv302nmFilterPos, Entry::Plain},
        {OPT_R625nmFilterPos, "r625nmFilterPos", &UserOpts::m_r625nmFilterPos, Entry::Plain},
        {OPT_G520nmFilterPos, "g520nmFilterPos", &UserOpts::m_g520nmFilterPos, Entry::Plain},
        {OPT_B470nmFilterPos, "b470nmFilterPos", &UserOpts::m_b470nmFilterPos, Entry::Plain},
        {OPT_IR660nmFilterPos, "ir660nmFilterPos", &UserOpts::m_ir660nmFilterPos, Entry::Plain},
        {OPT_IR740nmFilterPos, "ir740nmFilterPos", &UserOpts::m_ir740nmFilterPos, Entry::Plain},
        {OPT_UV254nmFilterPos, "uv254nmFilterPos", &UserOpts::m_uv254nmFilterPos, Entry::Plain},
        {OPT_UV365nmFilterPos, "uv365nmFilterPos", &UserOpts::m_uv365nmFilterPos, Entry::Plain},
        {OPT_BlueFilterPos, "blueFilterPos", &UserOpts::m_blueFilterPos, Entry::Plain},
        {OPT_UV254nmSelected, "uv254nmSelected", &UserOpts::m_uv254nmSelected, Entry::Plain},
        {OPT_UV365nmSelected, "uv365nmSelected", &UserOpts::m_uv365nmSelected, Entry::Plain},
        {OPT_MainTitle, "mainTitle", &UserOpts::m_mainTitle, Entry::Plain},
        {OPT_SubTitle, "subTitle", &UserOpts::m_subTitle, Entry::Plain},
        {OPT_CameraCooling, "cameraCooling", &UserOpts::m_cameraCooling, Entry::Plain},
        {OPT_MarkerCapture, "markerCapture", &UserOpts::m_markerCapture, Entry::Plain},
        {OPT_SampleImageBkColor, "sampleImageBkColor", &UserOpts::m_sampleImageBkColor, Entry::Plain},
        {OPT_IntelligentAnalysis, "intelligentAnalysis", &UserOpts::m_intelligentAnalysis, Entry::Plain},
        {OPT_SingleCapExpTime, "singleCapExpTime", &UserOpts::m_singleCapExpTime, Entry::Plain},
        {OPT_MultiCapCount, "multiCapCount", &UserOpts::m_multiCapCount, Entry::Plain},
        {OPT_MultiCapFirstTime, "multiCapFirstTime", &UserOpts::m_multiCapFirstTime, Entry::Plain},
        {OPT_MultiCapDeltaTime, "multiCapDeltaTime", &UserOpts::m_multiCapDeltaTime, Entry::Plain},
        {OPT_MultiCapFirstTimeUnit, "multiCapFirstTimeUnit", &UserOpts::m_multiCapFirstTimeUnit, Entry::Plain},
        {OPT_MultiCapDeltaTimeUnit, "multiCapDeltaTimeUnit", &UserOpts::m_multiCapDeltaTimeUnit, Entry::Plain},
        {OPT_MultiCapExpTimes, "multiCapExpTimes", &UserOpts::m_multiCapExpTimes, Entry::Plain},
        {OPT_MultiCapExpTimesChanged, "multiCapExpTimesChanged", &UserOpts::m_multiCapExpTimesChanged, Entry::Plain},
        {OPT_IntegralAccumulate, "integralAccumulate", &UserOpts::m_integralAccumulate, Entry::Plain},
        {OPT_AlreadyEnterUM, "alreadyEnterUM", &UserOpts::m_alreadyEnterUM, Entry::Plain},
        {OPT_AlreadyEnterRM, "alreadyEnterRM", &UserOpts::m_alreadyEnterRM, Entry::Plain},
        {OPT_AlreadyEnterGM, "alreadyEnterGM", &UserOpts::m_alreadyEnterGM, Entry::Plain},
        {OPT_LastLoginUser, "lastLoginUser", &UserOpts::m_lastLoginUser, Entry::Plain},
        {OPT_FocusCurrentAddr, "focusCurrentAddr", &UserOpts::m_focusCurrentAddr, Entry::Plain},
        {OPT_FocusMin, "focusMin", &UserOpts::m_focusMin, Entry::Plain},
        {OPT_FocusMax, "focusMax", &UserOpts::m_focusMax, Entry::Plain},
        {OPT_AutoCapture, "autoCapture", &UserOpts::m_autoCapture, Entry::Plain},
        {OPT_BluePercent, "bluePercent", &UserOpts::m_bluePercent, Entry::Plain},
        {OPT_CurFocusValue, "curFocusValue", &UserOpts::m_curFocusValue, Entry::Plain},
        {OPT_IsSignature, "isSignature", &UserOpts::m_isSignature, Entry::Plain},
        {OPT_IsExposure, "isExposure", &UserOpts::m_isExposure, Entry::Keep},
        {OPT_IsAutoStretch, "isAutoStretch", &UserOpts::m_isAutoStretch, Entry::Keep},
        {OPT_IsAutoKeyboard, "isAutoKeyboard", &UserOpts::m_isAutoKeyboard, Entry::Keep},
        {OPT_AfOffset, "afOffset", &UserOpts::m_afOffset, Entry::Plain},
        {OPT_HISTLEVELPERCENT, "histLevelPercent", &UserOpts::m_histLevelPercent, Entry::HistLevel},
        {OPT_IsExportWatermark, "isExportWatermark", &UserOpts::m_isExportWatermark, Entry::Keep},
        {OPT_IsFFCOpen, "isFFCOpen", &UserOpts::m_isFFCOpen, Entry::Plain},
        {OPT_ColorMarker, "colorMarker", &UserOpts::m_colorMarker, Entry::Plain},
        {OPT_ColorMarkerVisible, "colorMarkerVisible", &UserOpts::m_colorMarkerVisible, Entry::Plain},
        {OPT_IsBeautifyPictures, "isBeautifyPictures", &UserOpts::m_isBeautifyPictures, Entry::Keep},
        {OPT_GelX, "gelX", &UserOpts::m_gelX, Entry::Plain},
        {OPT_GelY, "gelY", &UserOpts::m_gelY, Entry::Plain},
        {OPT_GelW, "gelW", &UserOpts::m_gelW, Entry::Plain},
        {OPT_GelH, "gelH", &UserOpts::m_gelH, Entry::Plain},
        {OPT_IsChangPathEveryTime, "isChangPathEveryTime", &UserOpts::m_isChangPathEveryTime, Entry::Keep},
        {OPT_LastFocusGel, "lastFocusGel", &UserOpts::m_lastFocusGel, Entry::Keep},
        {OPT_LastFocusUpWb, "lastFocusUpWb", &UserOpts::m_lastFocusUpWb, Entry::Keep},
        {OPT_LastFocusDownWb, "lastFocusDownWb", &UserOpts::m_lastFocusDownWb, Entry::Keep},
        {OPT_LastFocusFul, "lastFocusFul", &UserOpts::m_lastFocusFul, Entry::Keep},
        {OPT_WBX, "wbX", &UserOpts::m_wbX, Entry::Plain},
        {OPT_WBY, "wbY", &UserOpts::m_wbY, Entry::Plain},
        {OPT_WBW, "wbW", &UserOpts::m_wbW, Entry::Plain},
        {OPT_WBH, "wbH", &UserOpts::m_wbH, Entry::Plain},
        {OPT_FluX, "fluX", &UserOpts::m_fluX, Entry::Plain},
        {OPT_FluY, "fluY", &UserOpts::m_fluY, Entry::Plain},
        {OPT_FluW, "fluW", &UserOpts::m_fluW, Entry::Plain},
        {OPT_FluH, "fluH", &UserOpts::m_fluH, Entry::Plain},
        {OPT_FocusPosition, "focusPosition", &UserOpts::m_focusPosition, Entry::Plain},
        {OPT_SharpenLevel, "sharpenLevel", &UserOpts::m_sharpenLevel, Entry::Keep},
        {OPT_StrengthMarker, "strengthMarker", &UserOpts::m_strengthMarker, Entry::Keep},
        {OPT_CurFocusGel, "curFocusGel", &UserOpts::m_curFocusGel, Entry::Keep},
        {OPT_CurFocusWB, "curFocusWB", &UserOpts::m_curFocusWB, Entry::Keep},
        {OPT_CurFocusFul, "curFocusFul", &UserOpts::m_curFocusFul, Entry::Keep},
        {OPT_GrayTarget, "grayTarget", &UserOpts::m_grayTarget, Entry::Keep},
        {OPT_AverageGrayThd, "averageGrayThd", &UserOpts::m_averageGrayThd, Entry::Keep},
    };
    for (const Entry& entry : entries) {
        if (entry.index == index)
            return &entry;
    }
    return nullptr;
}

UserOpts* UserOpts::getInstance()
{
    return OptionsIo::processStore<UserOpts>("Ini/userOption.ini");
}

UserOpts::UserOpts(const QString& iniPath, QObject* parent)
    : QObject(parent)
    , m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
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
    return m_settings->fileName();
}

void UserOpts::saveUserOptsByName(UserOpts::UserOptType userOptType)
{
    QMutexLocker locker(&m_mutex);
    if (const Entry* entry = entryFor(userOptType))
        saveEntry(*entry);
    OptionsIo::sync(*m_settings);
}

void UserOpts::loadUserOptsByName(UserOpts::UserOptType userOptType)
{
    QMutexLocker locker(&m_mutex);
    if (const Entry* entry = entryFor(userOptType))
        loadEntry(*entry);
}

void UserOpts::saveEntry(const Entry& entry)
{
    const QString key = kGroup + QLatin1Char('/') + QLatin1String(entry.key);
    std::visit([&](auto member) { m_settings->setValue(key, QVariant::fromValue(this->*member)); }, entry.member);
}

void UserOpts::loadEntry(const Entry& entry)
{
    const QString key = kGroup + QLatin1Char('/') + QLatin1String(entry.key);
    const QVariant stored = m_settings->value(key);
    const QString text = OptionsIo::text(stored);
    if (entry.rule == Entry::HistLevel) {
        // Only a usable fraction is honoured; anything else falls back to the default.
        bool ok = false;
        const double value = text.trimmed().toDouble(&ok);
        m_histLevelPercent = (ok && value > 0.0 && value < 1.0) ? value : kHistLevelPercentDefault;
        if (text.isEmpty()) {
            m_settings->setValue(key, kHistLevelPercentDefault);
            OptionsIo::sync(*m_settings);
        }
        return;
    }
    if (entry.rule == Entry::Keep && text.isEmpty())
        return;
    std::visit([&](auto member) { OptionsIo::assign(this->*member, stored); }, entry.member);
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

void UserOpts::applyDefaults(const Default* defaults, int count)
{
    const QStringList present = OptionsIo::keysOf(*m_settings, kGroup, m_mutex);
    for (int i = 0; i < count; ++i) {
        const Entry* entry = entryFor(defaults[i].index);
        if (!entry || present.contains(QLatin1String(entry->key)))
            continue;
        {
            QMutexLocker locker(&m_mutex);
            std::visit([&](auto member) { OptionsIo::assign(this->*member, defaults[i].value); }, entry->member);
        }
        saveUserOptsByName(static_cast<UserOptType>(entry->index));
    }
}

void UserOpts::initFocusDefaults()
{
    static const Default defaults[] = {
        {OPT_FocusCurrentAddr, 10},
        {OPT_BluePercent, 100},
        {OPT_ImageCleanTime, 7},
        {OPT_LightAutoShutDownTime, 5},
    };
    applyDefaults(defaults, int(std::size(defaults)));
}

void UserOpts::initCaptureDefaults()
{
    static const Default defaults[] = {
        {OPT_SingleCapExpTime, 1000},
        {OPT_MultiCapCount, 2},
        {OPT_MultiCapFirstTime, 1},
        {OPT_MultiCapFirstTimeUnit, int(Second)},
        {OPT_MultiCapDeltaTime, 1},
        {OPT_MultiCapDeltaTimeUnit, int(Second)},
        {OPT_ImageCleanTime, 7},
        {OPT_LightAutoShutDownTime, 3},
    };
    applyDefaults(defaults, int(std::size(defaults)));
}

void UserOpts::initExtraDefaults()
{
}

double UserOpts::histLevelPercent() const
{
    return get(m_histLevelPercent);
}
