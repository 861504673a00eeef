// Property accessors: each takes the store mutex (see useropts.h).
#include "useropts.h"

UserOpts::LanguageType UserOpts::language() const { return static_cast<LanguageType>(get(m_language)); }
void UserOpts::setLanguage(LanguageType value) { put(m_language, int(value)); }
QString UserOpts::imageSavePath() const { return get(m_imageSavePath); }
void UserOpts::setImageSavePath(const QString& value) { put(m_imageSavePath, value); }
int UserOpts::imageShowMode() const { return get(m_imageShowMode); }
void UserOpts::setImageShowMode(int value) { put(m_imageShowMode, value); }
bool UserOpts::imageClean() const { return get(m_imageClean); }
void UserOpts::setImageClean(bool value) { put(m_imageClean, value); }
int UserOpts::imageCleanTime() const { return get(m_imageCleanTime); }
void UserOpts::setImageCleanTime(int value) { put(m_imageCleanTime, value); }
int UserOpts::lightAutoShutDownTime() const { return get(m_lightAutoShutDownTime); }
void UserOpts::setLightAutoShutDownTime(int value) { put(m_lightAutoShutDownTime, value); }
QString UserOpts::exportPath() const { return get(m_exportPath); }
void UserOpts::setExportPath(const QString& value) { put(m_exportPath, value); }
bool UserOpts::f535nmSelected() const { return get(m_f535nmSelected); }
void UserOpts::setF535nmSelected(bool value) { put(m_f535nmSelected, value); }
bool UserOpts::f590nmSelected() const { return get(m_f590nmSelected); }
void UserOpts::setF590nmSelected(bool value) { put(m_f590nmSelected, value); }
bool UserOpts::f605nmSelected() const { return get(m_f605nmSelected); }
void UserOpts::setF605nmSelected(bool value) { put(m_f605nmSelected, value); }
bool UserOpts::f700nmSelected() const { return get(m_f700nmSelected); }
void UserOpts::setF700nmSelected(bool value) { put(m_f700nmSelected, value); }
bool UserOpts::f840nmSelected() const { return get(m_f840nmSelected); }
void UserOpts::setF840nmSelected(bool value) { put(m_f840nmSelected, value); }
bool UserOpts::autoMatchFilter() const { return get(m_autoMatchFilter); }
void UserOpts::setAutoMatchFilter(bool value) { put(m_autoMatchFilter, value); }
int UserOpts::whiteLightFilterPos() const { return get(m_whiteLightFilterPos); }
void UserOpts::setWhiteLightFilterPos(int value) { put(m_whiteLightFilterPos, value); }
int UserOpts::uv302nmFilterPos() const { return get(m_uv302nmFilterPos); }
void UserOpts::setUv302nmFilterPos(int value) { put(m_uv302nmFilterPos, value); }
int UserOpts::r625nmFilterPos() const { return get(m_r625nmFilterPos); }
void UserOpts::setR625nmFilterPos(int value) { put(m_r625nmFilterPos, value); }
int UserOpts::g520nmFilterPos() const { return get(m_g520nmFilterPos); }
void UserOpts::setG520nmFilterPos(int value) { put(m_g520nmFilterPos, value); }
int UserOpts::b470nmFilterPos() const { return get(m_b470nmFilterPos); }
void UserOpts::setB470nmFilterPos(int value) { put(m_b470nmFilterPos, value); }
int UserOpts::ir660nmFilterPos() const { return get(m_ir660nmFilterPos); }
void UserOpts::setIr660nmFilterPos(int value) { put(m_ir660nmFilterPos, value); }
int UserOpts::ir740nmFilterPos() const { return get(m_ir740nmFilterPos); }
void UserOpts::setIr740nmFilterPos(int value) { put(m_ir740nmFilterPos, value); }
int UserOpts::uv254nmFilterPos() const { return get(m_uv254nmFilterPos); }
void UserOpts::setUv254nmFilterPos(int value) { put(m_uv254nmFilterPos, value); }
int UserOpts::uv365nmFilterPos() const { return get(m_uv365nmFilterPos); }
void UserOpts::setUv365nmFilterPos(int value) { put(m_uv365nmFilterPos, value); }
int UserOpts::blueFilterPos() const { return get(m_blueFilterPos); }
void UserOpts::setBlueFilterPos(int value) { put(m_blueFilterPos, value); }
bool UserOpts::uv254nmSelected() const { return get(m_uv254nmSelected); }
void UserOpts::setUv254nmSelected(bool value) { put(m_uv254nmSelected, value); }
bool UserOpts::uv365nmSelected() const { return get(m_uv365nmSelected); }
void UserOpts::setUv365nmSelected(bool value) { put(m_uv365nmSelected, value); }
QString UserOpts::mainTitle() const { return get(m_mainTitle); }
void UserOpts::setMainTitle(const QString& value) { put(m_mainTitle, value); }
QString UserOpts::subTitle() const { return get(m_subTitle); }
void UserOpts::setSubTitle(const QString& value) { put(m_subTitle, value); }
bool UserOpts::cameraCooling() const { return get(m_cameraCooling); }
void UserOpts::setCameraCooling(bool value) { put(m_cameraCooling, value); }
bool UserOpts::markerCapture() const { return get(m_markerCapture); }
void UserOpts::setMarkerCapture(bool value)
{
    if (put(m_markerCapture, value))
        emit markerCaptureChanged();
}
UserOpts::BkColorType UserOpts::sampleImageBkColor() const { return static_cast<BkColorType>(get(m_sampleImageBkColor)); }
void UserOpts::setSampleImageBkColor(BkColorType value) { put(m_sampleImageBkColor, int(value)); }
UserOpts::AnalysisType UserOpts::intelligentAnalysis() const { return static_cast<AnalysisType>(get(m_intelligentAnalysis)); }
void UserOpts::setIntelligentAnalysis(AnalysisType value) { put(m_intelligentAnalysis, int(value)); }
int UserOpts::singleCapExpTime() const { return get(m_singleCapExpTime); }
void UserOpts::setSingleCapExpTime(int value) { put(m_singleCapExpTime, value); }
int UserOpts::multiCapCount() const { return get(m_multiCapCount); }
void UserOpts::setMultiCapCount(int value)
{
    if (put(m_multiCapCount, value))
        emit multiCapCountChanged();
}
int UserOpts::multiCapFirstTime() const { return get(m_multiCapFirstTime); }
void UserOpts::setMultiCapFirstTime(int value) { put(m_multiCapFirstTime, value); }
int UserOpts::multiCapDeltaTime() const { return get(m_multiCapDeltaTime); }
void UserOpts::setMultiCapDeltaTime(int value) { put(m_multiCapDeltaTime, value); }
UserOpts::UnitType UserOpts::multiCapFirstTimeUnit() const { return static_cast<UnitType>(get(m_multiCapFirstTimeUnit)); }
void UserOpts::setMultiCapFirstTimeUnit(UnitType value) { put(m_multiCapFirstTimeUnit, int(value)); }
UserOpts::UnitType UserOpts::multiCapDeltaTimeUnit() const { return static_cast<UnitType>(get(m_multiCapDeltaTimeUnit)); }
void UserOpts::setMultiCapDeltaTimeUnit(UnitType value) { put(m_multiCapDeltaTimeUnit, int(value)); }
QString UserOpts::multiCapExpTimes() const { return get(m_multiCapExpTimes); }
void UserOpts::setMultiCapExpTimes(const QString& value) { put(m_multiCapExpTimes, value); }
bool UserOpts::multiCapExpTimesChanged() const { return get(m_multiCapExpTimesChanged); }
void UserOpts::setMultiCapExpTimesChanged(bool value)
{
    put(m_multiCapExpTimesChanged, value);
    emit multiCapExpTimesChangedChanged();
}
bool UserOpts::integralAccumulate() const { return get(m_integralAccumulate); }
void UserOpts::setIntegralAccumulate(bool value) { put(m_integralAccumulate, value); }
bool UserOpts::alreadyEnterUM() const { return get(m_alreadyEnterUM); }
void UserOpts::setAlreadyEnterUM(bool value) { put(m_alreadyEnterUM, value); }
bool UserOpts::alreadyEnterRM() const { return get(m_alreadyEnterRM); }
void UserOpts::setAlreadyEnterRM(bool value) { put(m_alreadyEnterRM, value); }
bool UserOpts::alreadyEnterGM() const { return get(m_alreadyEnterGM); }
void UserOpts::setAlreadyEnterGM(bool value) { put(m_alreadyEnterGM, value); }
QString UserOpts::lastLoginUser() const { return get(m_lastLoginUser); }
void UserOpts::setLastLoginUser(const QString& value) { put(m_lastLoginUser, value); }
int UserOpts::focusCurrentAddr() const { return get(m_focusCurrentAddr); }
void UserOpts::setFocusCurrentAddr(int value) { put(m_focusCurrentAddr, value); }
int UserOpts::focusMin() const { return get(m_focusMin); }
void UserOpts::setFocusMin(int value) { put(m_focusMin, value); }
int UserOpts::focusMax() const { return get(m_focusMax); }
void UserOpts::setFocusMax(int value) { put(m_focusMax, value); }
bool UserOpts::autoCapture() const { return get(m_autoCapture); }
void UserOpts::setAutoCapture(bool value) { put(m_autoCapture, value); }
int UserOpts::bluePercent() const { return get(m_bluePercent); }
void UserOpts::setBluePercent(int value) { put(m_bluePercent, value); }
int UserOpts::curFocusValue() const { return get(m_curFocusValue); }
void UserOpts::setCurFocusValue(int value) { put(m_curFocusValue, value); }
bool UserOpts::isSignature() const { return get(m_isSignature); }
void UserOpts::setIsSignature(bool value) { put(m_isSignature, value); }
bool UserOpts::isExposure() const { return get(m_isExposure); }
void UserOpts::setIsExposure(bool value) { put(m_isExposure, value); }
bool UserOpts::isAutoStretch() const { return get(m_isAutoStretch); }
void UserOpts::setIsAutoStretch(bool value) { put(m_isAutoStretch, value); }
bool UserOpts::isAutoKeyboard() const { return get(m_isAutoKeyboard); }
void UserOpts::setIsAutoKeyboard(bool value) { put(m_isAutoKeyboard, value); }
int UserOpts::afOffset() const { return get(m_afOffset); }
void UserOpts::setAfOffset(int value) { put(m_afOffset, value); }
bool UserOpts::isExportWatermark() const { return get(m_isExportWatermark); }
void UserOpts::setIsExportWatermark(bool value) { put(m_isExportWatermark, value); }
bool UserOpts::isFFCOpen() const { return get(m_isFFCOpen); }
void UserOpts::setIsFFCOpen(bool value)
{
    put(m_isFFCOpen, value);
    emit isFFCOpenChanged();
}
bool UserOpts::colorMarker() const { return get(m_colorMarker); }
void UserOpts::setColorMarker(bool value) { put(m_colorMarker, value); }
bool UserOpts::colorMarkerVisible() const { return get(m_colorMarkerVisible); }
void UserOpts::setColorMarkerVisible(bool value)
{
    put(m_colorMarkerVisible, value);
    emit colorMarkerVisibleChanged();
}
bool UserOpts::isBeautifyPictures() const { return get(m_isBeautifyPictures); }
void UserOpts::setIsBeautifyPictures(bool value)
{
    if (put(m_isBeautifyPictures, value))
        emit isBeautifyPicturesChanged();
}
int UserOpts::gelX() const { return get(m_gelX); }
void UserOpts::setGelX(int value) { put(m_gelX, value); }
int UserOpts::gelY() const { return get(m_gelY); }
void UserOpts::setGelY(int value) { put(m_gelY, value); }
int UserOpts::gelW() const { return get(m_gelW); }
void UserOpts::setGelW(int value) { put(m_gelW, value); }
int UserOpts::gelH() const { return get(m_gelH); }
void UserOpts::setGelH(int value) { put(m_gelH, value); }
bool UserOpts::isChangPathEveryTime() const { return get(m_isChangPathEveryTime); }
void UserOpts::setIsChangPathEveryTime(bool value) { put(m_isChangPathEveryTime, value); }
int UserOpts::lastFocusGel() const { return get(m_lastFocusGel); }
void UserOpts::setLastFocusGel(int value) { put(m_lastFocusGel, value); }
int UserOpts::lastFocusUpWb() const { return get(m_lastFocusUpWb); }
void UserOpts::setLastFocusUpWb(int value) { put(m_lastFocusUpWb, value); }
int UserOpts::lastFocusDownWb() const { return get(m_lastFocusDownWb); }
void UserOpts::setLastFocusDownWb(int value) { put(m_lastFocusDownWb, value); }
int UserOpts::lastFocusFul() const { return get(m_lastFocusFul); }
void UserOpts::setLastFocusFul(int value) { put(m_lastFocusFul, value); }
int UserOpts::wbX() const { return get(m_wbX); }
void UserOpts::setWbX(int value) { put(m_wbX, value); }
int UserOpts::wbY() const { return get(m_wbY); }
void UserOpts::setWbY(int value) { put(m_wbY, value); }
int UserOpts::wbW() const { return get(m_wbW); }
void UserOpts::setWbW(int value) { put(m_wbW, value); }
int UserOpts::wbH() const { return get(m_wbH); }
void UserOpts::setWbH(int value) { put(m_wbH, value); }
int UserOpts::fluX() const { return get(m_fluX); }
void UserOpts::setFluX(int value) { put(m_fluX, value); }
int UserOpts::fluY() const { return get(m_fluY); }
void UserOpts::setFluY(int value) { put(m_fluY, value); }
int UserOpts::fluW() const { return get(m_fluW); }
void UserOpts::setFluW(int value) { put(m_fluW, value); }
int UserOpts::fluH() const { return get(m_fluH); }
void UserOpts::setFluH(int value) { put(m_fluH, value); }
int UserOpts::focusPosition() const { return get(m_focusPosition); }
void UserOpts::setFocusPosition(int value) { put(m_focusPosition, value); }
int UserOpts::sharpenLevel() const { return get(m_sharpenLevel); }
void UserOpts::setSharpenLevel(int value) { put(m_sharpenLevel, value); }
bool UserOpts::strengthMarker() const { return get(m_strengthMarker); }
void UserOpts::setStrengthMarker(bool value)
{
    if (put(m_strengthMarker, value))
        emit strengthMarkerChanged();
}
int UserOpts::curFocusGel() const { return get(m_curFocusGel); }
void UserOpts::setCurFocusGel(int value) { put(m_curFocusGel, value); }
int UserOpts::curFocusWB() const { return get(m_curFocusWB); }
void UserOpts::setCurFocusWB(int value) { put(m_curFocusWB, value); }
int UserOpts::curFocusFul() const { return get(m_curFocusFul); }
void UserOpts::setCurFocusFul(int value) { put(m_curFocusFul, value); }
int UserOpts::grayTarget() const { return get(m_grayTarget); }
void UserOpts::setGrayTarget(int value) { put(m_grayTarget, value); }
int UserOpts::averageGrayThd() const { return get(m_averageGrayThd); }
void UserOpts::setAverageGrayThd(int value) { put(m_averageGrayThd, value); }
QString UserOpts::lastPassword() const { return get(m_lastPassword); }
void UserOpts::setLastPassword(const QString& value) { put(m_lastPassword, value); }
int UserOpts::lastAuthorityId() const { return get(m_lastAuthorityId); }
void UserOpts::setLastAuthorityId(int value) { put(m_lastAuthorityId, value); }
int UserOpts::lastGroupId() const { return get(m_lastGroupId); }
void UserOpts::setLastGroupId(int value) { put(m_lastGroupId, value); }
int UserOpts::curDetailSharpenLevel() const { return get(m_curDetailSharpenLevel); }
void UserOpts::setCurDetailSharpenLevel(int value) { put(m_curDetailSharpenLevel, value); }
bool UserOpts::isDetailSharpend() const { return get(m_isDetailSharpend); }
void UserOpts::setIsDetailSharpend(bool value) { put(m_isDetailSharpend, value); }
int UserOpts::curDetailMinInten() const { return get(m_curDetailMinInten); }
void UserOpts::setCurDetailMinInten(int value) { put(m_curDetailMinInten, value); }
int UserOpts::curDetailMaxInten() const { return get(m_curDetailMaxInten); }
void UserOpts::setCurDetailMaxInten(int value) { put(m_curDetailMaxInten, value); }
bool UserOpts::isDetailStretch() const { return get(m_isDetailStretch); }
void UserOpts::setIsDetailStretch(bool value) { put(m_isDetailStretch, value); }
