// Property accessors: each takes the store mutex (see useropts.h).
#include "useropts.h"

UserOpts::LanguageType UserOpts::language() const { return static_cast<LanguageType>(m_store.get(m_language)); }
void UserOpts::setLanguage(LanguageType value) { m_store.put(m_language, int(value)); }
QString UserOpts::imageSavePath() const { return m_store.get(m_imageSavePath); }
void UserOpts::setImageSavePath(const QString& value) { m_store.put(m_imageSavePath, value); }
int UserOpts::imageShowMode() const { return m_store.get(m_imageShowMode); }
void UserOpts::setImageShowMode(int value) { m_store.put(m_imageShowMode, value); }
bool UserOpts::imageClean() const { return m_store.get(m_imageClean); }
void UserOpts::setImageClean(bool value) { m_store.put(m_imageClean, value); }
int UserOpts::imageCleanTime() const { return m_store.get(m_imageCleanTime); }
void UserOpts::setImageCleanTime(int value) { m_store.put(m_imageCleanTime, value); }
int UserOpts::lightAutoShutDownTime() const { return m_store.get(m_lightAutoShutDownTime); }
void UserOpts::setLightAutoShutDownTime(int value) { m_store.put(m_lightAutoShutDownTime, value); }
QString UserOpts::exportPath() const { return m_store.get(m_exportPath); }
void UserOpts::setExportPath(const QString& value) { m_store.put(m_exportPath, value); }
bool UserOpts::f535nmSelected() const { return m_store.get(m_f535nmSelected); }
void UserOpts::setF535nmSelected(bool value) { m_store.put(m_f535nmSelected, value); }
bool UserOpts::f590nmSelected() const { return m_store.get(m_f590nmSelected); }
void UserOpts::setF590nmSelected(bool value) { m_store.put(m_f590nmSelected, value); }
bool UserOpts::f605nmSelected() const { return m_store.get(m_f605nmSelected); }
void UserOpts::setF605nmSelected(bool value) { m_store.put(m_f605nmSelected, value); }
bool UserOpts::f700nmSelected() const { return m_store.get(m_f700nmSelected); }
void UserOpts::setF700nmSelected(bool value) { m_store.put(m_f700nmSelected, value); }
bool UserOpts::f840nmSelected() const { return m_store.get(m_f840nmSelected); }
void UserOpts::setF840nmSelected(bool value) { m_store.put(m_f840nmSelected, value); }
bool UserOpts::autoMatchFilter() const { return m_store.get(m_autoMatchFilter); }
void UserOpts::setAutoMatchFilter(bool value) { m_store.put(m_autoMatchFilter, value); }
int UserOpts::whiteLightFilterPos() const { return m_store.get(m_whiteLightFilterPos); }
void UserOpts::setWhiteLightFilterPos(int value) { m_store.put(m_whiteLightFilterPos, value); }
int UserOpts::uv302nmFilterPos() const { return m_store.get(m_uv302nmFilterPos); }
void UserOpts::setUv302nmFilterPos(int value) { m_store.put(m_uv302nmFilterPos, value); }
int UserOpts::r625nmFilterPos() const { return m_store.get(m_r625nmFilterPos); }
void UserOpts::setR625nmFilterPos(int value) { m_store.put(m_r625nmFilterPos, value); }
int UserOpts::g520nmFilterPos() const { return m_store.get(m_g520nmFilterPos); }
void UserOpts::setG520nmFilterPos(int value) { m_store.put(m_g520nmFilterPos, value); }
int UserOpts::b470nmFilterPos() const { return m_store.get(m_b470nmFilterPos); }
void UserOpts::setB470nmFilterPos(int value) { m_store.put(m_b470nmFilterPos, value); }
int UserOpts::ir660nmFilterPos() const { return m_store.get(m_ir660nmFilterPos); }
void UserOpts::setIr660nmFilterPos(int value) { m_store.put(m_ir660nmFilterPos, value); }
int UserOpts::ir740nmFilterPos() const { return m_store.get(m_ir740nmFilterPos); }
void UserOpts::setIr740nmFilterPos(int value) { m_store.put(m_ir740nmFilterPos, value); }
int UserOpts::uv254nmFilterPos() const { return m_store.get(m_uv254nmFilterPos); }
void UserOpts::setUv254nmFilterPos(int value) { m_store.put(m_uv254nmFilterPos, value); }
int UserOpts::uv365nmFilterPos() const { return m_store.get(m_uv365nmFilterPos); }
void UserOpts::setUv365nmFilterPos(int value) { m_store.put(m_uv365nmFilterPos, value); }
int UserOpts::blueFilterPos() const { return m_store.get(m_blueFilterPos); }
void UserOpts::setBlueFilterPos(int value) { m_store.put(m_blueFilterPos, value); }
bool UserOpts::uv254nmSelected() const { return m_store.get(m_uv254nmSelected); }
void UserOpts::setUv254nmSelected(bool value) { m_store.put(m_uv254nmSelected, value); }
bool UserOpts::uv365nmSelected() const { return m_store.get(m_uv365nmSelected); }
void UserOpts::setUv365nmSelected(bool value) { m_store.put(m_uv365nmSelected, value); }
QString UserOpts::mainTitle() const { return m_store.get(m_mainTitle); }
void UserOpts::setMainTitle(const QString& value) { m_store.put(m_mainTitle, value); }
QString UserOpts::subTitle() const { return m_store.get(m_subTitle); }
void UserOpts::setSubTitle(const QString& value) { m_store.put(m_subTitle, value); }
bool UserOpts::cameraCooling() const { return m_store.get(m_cameraCooling); }
void UserOpts::setCameraCooling(bool value) { m_store.put(m_cameraCooling, value); }
bool UserOpts::markerCapture() const { return m_store.get(m_markerCapture); }
void UserOpts::setMarkerCapture(bool value)
{
    if (m_store.put(m_markerCapture, value))
        emit markerCaptureChanged();
}
UserOpts::BkColorType UserOpts::sampleImageBkColor() const { return static_cast<BkColorType>(m_store.get(m_sampleImageBkColor)); }
void UserOpts::setSampleImageBkColor(BkColorType value) { m_store.put(m_sampleImageBkColor, int(value)); }
UserOpts::AnalysisType UserOpts::intelligentAnalysis() const { return static_cast<AnalysisType>(m_store.get(m_intelligentAnalysis)); }
void UserOpts::setIntelligentAnalysis(AnalysisType value) { m_store.put(m_intelligentAnalysis, int(value)); }
int UserOpts::singleCapExpTime() const { return m_store.get(m_singleCapExpTime); }
void UserOpts::setSingleCapExpTime(int value) { m_store.put(m_singleCapExpTime, value); }
int UserOpts::multiCapCount() const { return m_store.get(m_multiCapCount); }
void UserOpts::setMultiCapCount(int value)
{
    if (m_store.put(m_multiCapCount, value))
        emit multiCapCountChanged();
}
int UserOpts::multiCapFirstTime() const { return m_store.get(m_multiCapFirstTime); }
void UserOpts::setMultiCapFirstTime(int value) { m_store.put(m_multiCapFirstTime, value); }
int UserOpts::multiCapDeltaTime() const { return m_store.get(m_multiCapDeltaTime); }
void UserOpts::setMultiCapDeltaTime(int value) { m_store.put(m_multiCapDeltaTime, value); }
UserOpts::UnitType UserOpts::multiCapFirstTimeUnit() const { return static_cast<UnitType>(m_store.get(m_multiCapFirstTimeUnit)); }
void UserOpts::setMultiCapFirstTimeUnit(UnitType value) { m_store.put(m_multiCapFirstTimeUnit, int(value)); }
UserOpts::UnitType UserOpts::multiCapDeltaTimeUnit() const { return static_cast<UnitType>(m_store.get(m_multiCapDeltaTimeUnit)); }
void UserOpts::setMultiCapDeltaTimeUnit(UnitType value) { m_store.put(m_multiCapDeltaTimeUnit, int(value)); }
QString UserOpts::multiCapExpTimes() const { return m_store.get(m_multiCapExpTimes); }
void UserOpts::setMultiCapExpTimes(const QString& value) { m_store.put(m_multiCapExpTimes, value); }
bool UserOpts::multiCapExpTimesChanged() const { return m_store.get(m_multiCapExpTimesChanged); }
void UserOpts::setMultiCapExpTimesChanged(bool value)
{
    m_store.put(m_multiCapExpTimesChanged, value);
    emit multiCapExpTimesChangedChanged();
}
bool UserOpts::integralAccumulate() const { return m_store.get(m_integralAccumulate); }
void UserOpts::setIntegralAccumulate(bool value) { m_store.put(m_integralAccumulate, value); }
bool UserOpts::alreadyEnterUM() const { return m_store.get(m_alreadyEnterUM); }
void UserOpts::setAlreadyEnterUM(bool value) { m_store.put(m_alreadyEnterUM, value); }
bool UserOpts::alreadyEnterRM() const { return m_store.get(m_alreadyEnterRM); }
void UserOpts::setAlreadyEnterRM(bool value) { m_store.put(m_alreadyEnterRM, value); }
bool UserOpts::alreadyEnterGM() const { return m_store.get(m_alreadyEnterGM); }
void UserOpts::setAlreadyEnterGM(bool value) { m_store.put(m_alreadyEnterGM, value); }
QString UserOpts::lastLoginUser() const { return m_store.get(m_lastLoginUser); }
void UserOpts::setLastLoginUser(const QString& value) { m_store.put(m_lastLoginUser, value); }
int UserOpts::focusCurrentAddr() const { return m_store.get(m_focusCurrentAddr); }
void UserOpts::setFocusCurrentAddr(int value) { m_store.put(m_focusCurrentAddr, value); }
int UserOpts::focusMin() const { return m_store.get(m_focusMin); }
void UserOpts::setFocusMin(int value) { m_store.put(m_focusMin, value); }
int UserOpts::focusMax() const { return m_store.get(m_focusMax); }
void UserOpts::setFocusMax(int value) { m_store.put(m_focusMax, value); }
bool UserOpts::autoCapture() const { return m_store.get(m_autoCapture); }
void UserOpts::setAutoCapture(bool value) { m_store.put(m_autoCapture, value); }
int UserOpts::bluePercent() const { return m_store.get(m_bluePercent); }
void UserOpts::setBluePercent(int value) { m_store.put(m_bluePercent, value); }
int UserOpts::curFocusValue() const { return m_store.get(m_curFocusValue); }
void UserOpts::setCurFocusValue(int value) { m_store.put(m_curFocusValue, value); }
bool UserOpts::isSignature() const { return m_store.get(m_isSignature); }
void UserOpts::setIsSignature(bool value) { m_store.put(m_isSignature, value); }
bool UserOpts::isExposure() const { return m_store.get(m_isExposure); }
void UserOpts::setIsExposure(bool value) { m_store.put(m_isExposure, value); }
bool UserOpts::isAutoStretch() const { return m_store.get(m_isAutoStretch); }
void UserOpts::setIsAutoStretch(bool value) { m_store.put(m_isAutoStretch, value); }
bool UserOpts::isAutoKeyboard() const { return m_store.get(m_isAutoKeyboard); }
void UserOpts::setIsAutoKeyboard(bool value) { m_store.put(m_isAutoKeyboard, value); }
int UserOpts::afOffset() const { return m_store.get(m_afOffset); }
void UserOpts::setAfOffset(int value) { m_store.put(m_afOffset, value); }
bool UserOpts::isExportWatermark() const { return m_store.get(m_isExportWatermark); }
void UserOpts::setIsExportWatermark(bool value) { m_store.put(m_isExportWatermark, value); }
bool UserOpts::isFFCOpen() const { return m_store.get(m_isFFCOpen); }
void UserOpts::setIsFFCOpen(bool value)
{
    m_store.put(m_isFFCOpen, value);
    emit isFFCOpenChanged();
}
bool UserOpts::colorMarker() const { return m_store.get(m_colorMarker); }
void UserOpts::setColorMarker(bool value) { m_store.put(m_colorMarker, value); }
bool UserOpts::colorMarkerVisible() const { return m_store.get(m_colorMarkerVisible); }
void UserOpts::setColorMarkerVisible(bool value)
{
    m_store.put(m_colorMarkerVisible, value);
    emit colorMarkerVisibleChanged();
}
bool UserOpts::isBeautifyPictures() const { return m_store.get(m_isBeautifyPictures); }
void UserOpts::setIsBeautifyPictures(bool value)
{
    if (m_store.put(m_isBeautifyPictures, value))
        emit isBeautifyPicturesChanged();
}
int UserOpts::gelX() const { return m_store.get(m_gelX); }
void UserOpts::setGelX(int value) { m_store.put(m_gelX, value); }
int UserOpts::gelY() const { return m_store.get(m_gelY); }
void UserOpts::setGelY(int value) { m_store.put(m_gelY, value); }
int UserOpts::gelW() const { return m_store.get(m_gelW); }
void UserOpts::setGelW(int value) { m_store.put(m_gelW, value); }
int UserOpts::gelH() const { return m_store.get(m_gelH); }
void UserOpts::setGelH(int value) { m_store.put(m_gelH, value); }
bool UserOpts::isChangPathEveryTime() const { return m_store.get(m_isChangPathEveryTime); }
void UserOpts::setIsChangPathEveryTime(bool value) { m_store.put(m_isChangPathEveryTime, value); }
int UserOpts::lastFocusGel() const { return m_store.get(m_lastFocusGel); }
void UserOpts::setLastFocusGel(int value) { m_store.put(m_lastFocusGel, value); }
int UserOpts::lastFocusUpWb() const { return m_store.get(m_lastFocusUpWb); }
void UserOpts::setLastFocusUpWb(int value) { m_store.put(m_lastFocusUpWb, value); }
int UserOpts::lastFocusDownWb() const { return m_store.get(m_lastFocusDownWb); }
void UserOpts::setLastFocusDownWb(int value) { m_store.put(m_lastFocusDownWb, value); }
int UserOpts::lastFocusFul() const { return m_store.get(m_lastFocusFul); }
void UserOpts::setLastFocusFul(int value) { m_store.put(m_lastFocusFul, value); }
int UserOpts::wbX() const { return m_store.get(m_wbX); }
void UserOpts::setWbX(int value) { m_store.put(m_wbX, value); }
int UserOpts::wbY() const { return m_store.get(m_wbY); }
void UserOpts::setWbY(int value) { m_store.put(m_wbY, value); }
int UserOpts::wbW() const { return m_store.get(m_wbW); }
void UserOpts::setWbW(int value) { m_store.put(m_wbW, value); }
int UserOpts::wbH() const { return m_store.get(m_wbH); }
void UserOpts::setWbH(int value) { m_store.put(m_wbH, value); }
int UserOpts::fluX() const { return m_store.get(m_fluX); }
void UserOpts::setFluX(int value) { m_store.put(m_fluX, value); }
int UserOpts::fluY() const { return m_store.get(m_fluY); }
void UserOpts::setFluY(int value) { m_store.put(m_fluY, value); }
int UserOpts::fluW() const { return m_store.get(m_fluW); }
void UserOpts::setFluW(int value) { m_store.put(m_fluW, value); }
int UserOpts::fluH() const { return m_store.get(m_fluH); }
void UserOpts::setFluH(int value) { m_store.put(m_fluH, value); }
int UserOpts::focusPosition() const { return m_store.get(m_focusPosition); }
void UserOpts::setFocusPosition(int value) { m_store.put(m_focusPosition, value); }
int UserOpts::sharpenLevel() const { return m_store.get(m_sharpenLevel); }
void UserOpts::setSharpenLevel(int value) { m_store.put(m_sharpenLevel, value); }
bool UserOpts::strengthMarker() const { return m_store.get(m_strengthMarker); }
void UserOpts::setStrengthMarker(bool value)
{
    if (m_store.put(m_strengthMarker, value))
        emit strengthMarkerChanged();
}
int UserOpts::curFocusGel() const { return m_store.get(m_curFocusGel); }
void UserOpts::setCurFocusGel(int value) { m_store.put(m_curFocusGel, value); }
int UserOpts::curFocusWB() const { return m_store.get(m_curFocusWB); }
void UserOpts::setCurFocusWB(int value) { m_store.put(m_curFocusWB, value); }
int UserOpts::curFocusFul() const { return m_store.get(m_curFocusFul); }
void UserOpts::setCurFocusFul(int value) { m_store.put(m_curFocusFul, value); }
int UserOpts::grayTarget() const { return m_store.get(m_grayTarget); }
void UserOpts::setGrayTarget(int value) { m_store.put(m_grayTarget, value); }
int UserOpts::averageGrayThd() const { return m_store.get(m_averageGrayThd); }
void UserOpts::setAverageGrayThd(int value) { m_store.put(m_averageGrayThd, value); }
QString UserOpts::lastPassword() const { return m_store.get(m_lastPassword); }
void UserOpts::setLastPassword(const QString& value) { m_store.put(m_lastPassword, value); }
int UserOpts::lastAuthorityId() const { return m_store.get(m_lastAuthorityId); }
void UserOpts::setLastAuthorityId(int value) { m_store.put(m_lastAuthorityId, value); }
int UserOpts::lastGroupId() const { return m_store.get(m_lastGroupId); }
void UserOpts::setLastGroupId(int value) { m_store.put(m_lastGroupId, value); }
int UserOpts::curDetailSharpenLevel() const { return m_store.get(m_curDetailSharpenLevel); }
void UserOpts::setCurDetailSharpenLevel(int value) { m_store.put(m_curDetailSharpenLevel, value); }
bool UserOpts::isDetailSharpend() const { return m_store.get(m_isDetailSharpend); }
void UserOpts::setIsDetailSharpend(bool value) { m_store.put(m_isDetailSharpend, value); }
int UserOpts::curDetailMinInten() const { return m_store.get(m_curDetailMinInten); }
void UserOpts::setCurDetailMinInten(int value) { m_store.put(m_curDetailMinInten, value); }
int UserOpts::curDetailMaxInten() const { return m_store.get(m_curDetailMaxInten); }
void UserOpts::setCurDetailMaxInten(int value) { m_store.put(m_curDetailMaxInten, value); }
bool UserOpts::isDetailStretch() const { return m_store.get(m_isDetailStretch); }
void UserOpts::setIsDetailStretch(bool value) { m_store.put(m_isDetailStretch, value); }
