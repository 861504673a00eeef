#include "camopts.h"

#include "optionsio.h"

// In index order, 0 to 33 without gaps.
const OptionEntry<CamOpts> CamOpts::s_entries[] = {
    {WBTS_DefBinning, "WBTSDefBinning", &CamOpts::m_wBTSDefBinning},
    {WBTS_DefExposurePre, "WBTSDefExposurePre", &CamOpts::m_wBTSDefExposurePre},
    {WBTS_DefExposurePre6Para, "WBTSDefExposurePre6Para", &CamOpts::m_wBTSDefExposurePre6Para},
    {WBTS_DefGain, "WBTSDefGain", &CamOpts::m_wBTSDefGain},
    {WBTS_DefGainIndex, "WBTSDefGainIndex", &CamOpts::m_wBTSDefGainIndex},
    {WBTS_CurBinning, "WBTSCurBinning", &CamOpts::m_wBTSCurBinning},
    {WBTS_CurExposurePre, "WBTSCurExposurePre", &CamOpts::m_wBTSCurExposurePre},
    {WBTS_CurGain, "WBTSCurGain", &CamOpts::m_wBTSCurGain},
    {WBTS_CurGainIndex, "WBTSCurGainIndex", &CamOpts::m_wBTSCurGainIndex},
    {WBQI_DefBinning, "WBQIDefBinning", &CamOpts::m_wBQIDefBinning},
    {WBQI_DefExposurePre, "WBQIDefExposurePre", &CamOpts::m_wBQIDefExposurePre},
    {WBQI_DefGainIndex, "WBQIDefGainIndex", &CamOpts::m_wBQIDefGainIndex},
    {WBQI_CurBinning, "WBQICurBinning", &CamOpts::m_wBQICurBinning},
    {WBQI_CurExposurePre, "WBQICurExposurePre", &CamOpts::m_wBQICurExposurePre},
    {WBQI_CurGainIndex, "WBQICurGainIndex", &CamOpts::m_wBQICurGainIndex},
    {GelTS_DefBinning, "GelTSDefBinning", &CamOpts::m_gelTSDefBinning},
    {GelTS_DefExposurePre, "GelTSDefExposurePre", &CamOpts::m_gelTSDefExposurePre},
    {GelTS_DefExposurePre6Para, "GelTSDefExposurePre6Para", &CamOpts::m_gelTSDefExposurePre6Para},
    {GelTS_DefGain, "GelTSDefGain", &CamOpts::m_gelTSDefGain},
    {GelTS_DefGainIndex, "GelTSDefGainIndex", &CamOpts::m_gelTSDefGainIndex},
    {GelTS_CurBinning, "GelTSCurBinning", &CamOpts::m_gelTSCurBinning},
    {GelTS_CurExposurePre, "GelTSCurExposurePre", &CamOpts::m_gelTSCurExposurePre},
    {GelTS_CurGain, "GelTSCurGain", &CamOpts::m_gelTSCurGain},
    {GelTS_CurGainIndex, "GelTSCurGainIndex", &CamOpts::m_gelTSCurGainIndex},
    {MultTS_DefBinning, "MultTSDefBinning", &CamOpts::m_multTSDefBinning},
    {MultTS_DefExposurePre, "MultTSDefExposurePre", &CamOpts::m_multTSDefExposurePre},
    {MultTS_DefExposurePre6Para, "MultTSDefExposurePre6Para", &CamOpts::m_multTSDefExposurePre6Para},
    {MultTS_DefGain, "MultTSDefGain", &CamOpts::m_multTSDefGain},
    {MultTS_DefGainIndex, "MultTSDefGainIndex", &CamOpts::m_multTSDefGainIndex},
    {MultTS_CurBinning, "MultTSCurBinning", &CamOpts::m_multTSCurBinning},
    {MultTS_CurExposurePre, "MultTSCurExposurePre", &CamOpts::m_multTSCurExposurePre},
    {MultTS_CurGain, "MultTSCurGain", &CamOpts::m_multTSCurGain},
    {MultTS_CurGainIndex, "MultTSCurGainIndex", &CamOpts::m_multTSCurGainIndex},
    {AutoFocusPosition, "AutoFocusPosition", &CamOpts::m_autoFocusPosition},
};

CamOpts* CamOpts::getInstance()
{
    return OptionsIo::processStore<CamOpts>("Ini/camOption.ini");
}

namespace {

// Binning choices index the eight resolutions (1x1 to 24x24); gain indexes the four levels of a
// page's list. Exposures are milliseconds; an hour is past any the pages offer.
constexpr double kLastBinning = 7;
constexpr double kLastGainIndex = 3;
constexpr double kMaxGain = 255;
constexpr double kMaxExposureMs = 3600000;
constexpr double kMaxLensPosition = 100000;
// Default preview exposures, one per binning (eight, or six for the six-level cameras).
const char* const kExposures = "200,50,15,6,3,1,1,1";
const char* const kExposures6 = "200,50,22,12,6,3";

// The nine options of one TS mode, from its default binning on, stand in the same order in
// every mode; only the default gain level differs.
void setTsModeLimits(OptionStore<CamOpts>& store, int first, int gainIndex)
{
    store.setLimits({
        {first + 0, 0, kLastBinning, 1},                       // default binning
        {first + 1, 0, kMaxExposureMs, QString(kExposures)},   // default exposures
        {first + 2, 0, kMaxExposureMs, QString(kExposures6)},  // the same, six levels
        {first + 3, 0, kMaxGain, 45},                          // default gain
        {first + 4, 0, kLastGainIndex, gainIndex},             // default gain level
        {first + 5, 0, kLastBinning, 1},                       // current binning
        {first + 6, 0, kMaxExposureMs, 50.0},                  // current exposure
        {first + 7, 0, kMaxGain, 45},                          // current gain
        {first + 8, 0, kLastGainIndex, gainIndex},             // current gain level
    });
}

} // namespace

CamOpts::CamOpts(const QString& iniPath, QObject* parent)
    : QObject(parent)
    , m_store(this, iniPath, QStringLiteral("CamOption"), s_entries)
{
    // A stored value a page cannot show (binning 999) would leave it waiting for good: each
    // option falls back to its default at load.
    static_assert(WBTS_CurGainIndex - WBTS_DefBinning == 8 && GelTS_CurGainIndex - GelTS_DefBinning == 8
                      && MultTS_CurGainIndex - MultTS_DefBinning == 8,
                  "each TS mode has nine options in the same order");
    setTsModeLimits(m_store, WBTS_DefBinning, 0);
    setTsModeLimits(m_store, GelTS_DefBinning, 1);
    setTsModeLimits(m_store, MultTS_DefBinning, 1);
    m_store.setLimits({
        {WBQI_DefExposurePre, 0, kMaxExposureMs, QString(kExposures)},
        {WBQI_DefGainIndex, 0, kLastGainIndex, 3},
        {WBQI_CurExposurePre, 0, kMaxExposureMs, 50},
        {WBQI_CurGainIndex, 0, kLastGainIndex, 3},
        {AutoFocusPosition, 0, kMaxLensPosition, 0},
    });
}

CamOpts::~CamOpts() = default;

QString CamOpts::filePath() const
{
    return m_store.fileName();
}

void CamOpts::saveCamOptsByName(CamOpts::CamOptType camOptType)
{
    m_store.save(camOptType);
}

void CamOpts::loadCamOptsByName(CamOpts::CamOptType camOptType)
{
    m_store.load(camOptType);
}

void CamOpts::saveRange(int first, int last)
{
    for (int index = first; index <= last; ++index)
        saveCamOptsByName(static_cast<CamOptType>(index));
}

void CamOpts::loadRange(int first, int last)
{
    for (int index = first; index <= last; ++index)
        loadCamOptsByName(static_cast<CamOptType>(index));
}

void CamOpts::saveDefWBTSCamOpts() { saveRange(WBTS_DefBinning, WBTS_DefGainIndex); }
void CamOpts::loadDefWBTSCamOpts() { loadRange(WBTS_DefBinning, WBTS_DefGainIndex); }
void CamOpts::saveCurWBTSCamOpts() { saveRange(WBTS_CurBinning, WBTS_CurGainIndex); }
void CamOpts::loadCurWBTSCamOpts() { loadRange(WBTS_CurBinning, WBTS_CurGainIndex); }
void CamOpts::saveDefWBQICamOpts() { saveRange(WBQI_DefBinning, WBQI_DefGainIndex); }
void CamOpts::loadDefWBQICamOpts() { loadRange(WBQI_DefBinning, WBQI_DefGainIndex); }
void CamOpts::saveCurWBQICamOpts() { saveRange(WBQI_CurBinning, WBQI_CurGainIndex); }
void CamOpts::loadCurWBQICamOpts() { loadRange(WBQI_CurBinning, WBQI_CurGainIndex); }
void CamOpts::saveDefGelTSCamOpts() { saveRange(GelTS_DefBinning, GelTS_DefGainIndex); }
void CamOpts::loadDefGelTSCamOpts() { loadRange(GelTS_DefBinning, GelTS_DefGainIndex); }
void CamOpts::saveCurGelTSCamOpts() { saveRange(GelTS_CurBinning, GelTS_CurGainIndex); }
void CamOpts::loadCurGelTSCamOpts() { loadRange(GelTS_CurBinning, GelTS_CurGainIndex); }
void CamOpts::saveDefMultTSCamOpts() { saveRange(MultTS_DefBinning, MultTS_DefGainIndex); }
void CamOpts::loadDefMultTSCamOpts() { loadRange(MultTS_DefBinning, MultTS_DefGainIndex); }
void CamOpts::saveCurMultTSCamOpts() { saveRange(MultTS_CurBinning, MultTS_CurGainIndex); }
void CamOpts::loadCurMultTSCamOpts() { loadRange(MultTS_CurBinning, MultTS_CurGainIndex); }

void CamOpts::initWBTSDefaults()
{
    m_store.applyDefaults({
        {WBTS_DefBinning, 1},
        {WBTS_DefExposurePre, QString(kExposures)},
        {WBTS_DefExposurePre6Para, QStringLiteral("200,50,22,12,6,3")},
        {WBTS_DefGain, 45},
        {WBTS_DefGainIndex, 0},
        {WBTS_CurBinning, 1},
        {WBTS_CurExposurePre, 50.0},
        {WBTS_CurGain, 45},
        {WBTS_CurGainIndex, 0},
    });
}

void CamOpts::initWBQIDefaults()
{
    m_store.applyDefaults({
        {WBQI_DefBinning, QStringLiteral("2*2")},
        {WBQI_DefExposurePre, QString(kExposures)},
        {WBQI_DefGainIndex, 3},
        {WBQI_CurBinning, QStringLiteral("2*2")},
        {WBQI_CurExposurePre, 50},
        {WBQI_CurGainIndex, 3},
    });
}

void CamOpts::initGelTSDefaults(bool isS20Mini)
{
    m_store.setLimits({
        {GelTS_CurBinning, 0, kLastBinning, isS20Mini ? 0 : 1},
        {GelTS_CurExposurePre, 0, kMaxExposureMs, isS20Mini ? 200.0 : 50.0},
    });
    m_store.applyDefaults({
        {GelTS_DefBinning, 1},
        {GelTS_DefExposurePre, QString(kExposures)},
        {GelTS_DefExposurePre6Para, QStringLiteral("200,50,22,12,6,3")},
        {GelTS_DefGain, 45},
        {GelTS_DefGainIndex, 1},
        {GelTS_CurBinning, isS20Mini ? 0 : 1},
        {GelTS_CurExposurePre, isS20Mini ? 200.0 : 50.0},
        {GelTS_CurGain, 45},
        {GelTS_CurGainIndex, 1},
    });
}

void CamOpts::initMultTSDefaults()
{
    m_store.applyDefaults({
        {MultTS_DefBinning, 1},
        {MultTS_DefExposurePre, QString(kExposures)},
        {MultTS_DefExposurePre6Para, QStringLiteral("200,50,22,12,6,3")},
        {MultTS_DefGain, 45},
        {MultTS_DefGainIndex, 1},
        {MultTS_CurBinning, 1},
        {MultTS_CurExposurePre, 50.0},
        {MultTS_CurGain, 45},
        {MultTS_CurGainIndex, 1},
    });
}

// Property accessors: each takes the store mutex.
int CamOpts::wBTSDefBinning() const { return m_store.get(m_wBTSDefBinning); }
void CamOpts::setWBTSDefBinning(const int& value) { m_store.put(m_wBTSDefBinning, value); }
QString CamOpts::wBTSDefExposurePre() const { return m_store.get(m_wBTSDefExposurePre); }
void CamOpts::setWBTSDefExposurePre(const QString& value) { m_store.put(m_wBTSDefExposurePre, value); }
QString CamOpts::wBTSDefExposurePre6Para() const { return m_store.get(m_wBTSDefExposurePre6Para); }
void CamOpts::setWBTSDefExposurePre6Para(const QString& value) { m_store.put(m_wBTSDefExposurePre6Para, value); }
int CamOpts::wBTSDefGain() const { return m_store.get(m_wBTSDefGain); }
void CamOpts::setWBTSDefGain(const int& value) { m_store.put(m_wBTSDefGain, value); }
int CamOpts::wBTSDefGainIndex() const { return m_store.get(m_wBTSDefGainIndex); }
void CamOpts::setWBTSDefGainIndex(const int& value) { m_store.put(m_wBTSDefGainIndex, value); }
int CamOpts::wBTSCurBinning() const { return m_store.get(m_wBTSCurBinning); }
void CamOpts::setWBTSCurBinning(const int& value) { m_store.put(m_wBTSCurBinning, value); }
double CamOpts::wBTSCurExposurePre() const { return m_store.get(m_wBTSCurExposurePre); }
void CamOpts::setWBTSCurExposurePre(const double& value) { m_store.put(m_wBTSCurExposurePre, value); }
int CamOpts::wBTSCurGain() const { return m_store.get(m_wBTSCurGain); }
void CamOpts::setWBTSCurGain(const int& value) { m_store.put(m_wBTSCurGain, value); }
int CamOpts::wBTSCurGainIndex() const { return m_store.get(m_wBTSCurGainIndex); }
void CamOpts::setWBTSCurGainIndex(const int& value) { m_store.put(m_wBTSCurGainIndex, value); }
QString CamOpts::wBQIDefBinning() const { return m_store.get(m_wBQIDefBinning); }
void CamOpts::setWBQIDefBinning(const QString& value) { m_store.put(m_wBQIDefBinning, value); }
QString CamOpts::wBQIDefExposurePre() const { return m_store.get(m_wBQIDefExposurePre); }
void CamOpts::setWBQIDefExposurePre(const QString& value) { m_store.put(m_wBQIDefExposurePre, value); }
int CamOpts::wBQIDefGainIndex() const { return m_store.get(m_wBQIDefGainIndex); }
void CamOpts::setWBQIDefGainIndex(const int& value) { m_store.put(m_wBQIDefGainIndex, value); }
QString CamOpts::wBQICurBinning() const { return m_store.get(m_wBQICurBinning); }
void CamOpts::setWBQICurBinning(const QString& value) { m_store.put(m_wBQICurBinning, value); }
int CamOpts::wBQICurExposurePre() const { return m_store.get(m_wBQICurExposurePre); }
void CamOpts::setWBQICurExposurePre(const int& value) { m_store.put(m_wBQICurExposurePre, value); }
int CamOpts::wBQICurGainIndex() const { return m_store.get(m_wBQICurGainIndex); }
void CamOpts::setWBQICurGainIndex(const int& value) { m_store.put(m_wBQICurGainIndex, value); }
int CamOpts::gelTSDefBinning() const { return m_store.get(m_gelTSDefBinning); }
void CamOpts::setGelTSDefBinning(const int& value) { m_store.put(m_gelTSDefBinning, value); }
QString CamOpts::gelTSDefExposurePre() const { return m_store.get(m_gelTSDefExposurePre); }
void CamOpts::setGelTSDefExposurePre(const QString& value) { m_store.put(m_gelTSDefExposurePre, value); }
QString CamOpts::gelTSDefExposurePre6Para() const { return m_store.get(m_gelTSDefExposurePre6Para); }
void CamOpts::setGelTSDefExposurePre6Para(const QString& value) { m_store.put(m_gelTSDefExposurePre6Para, value); }
int CamOpts::gelTSDefGain() const { return m_store.get(m_gelTSDefGain); }
void CamOpts::setGelTSDefGain(const int& value) { m_store.put(m_gelTSDefGain, value); }
int CamOpts::gelTSDefGainIndex() const { return m_store.get(m_gelTSDefGainIndex); }
void CamOpts::setGelTSDefGainIndex(const int& value) { m_store.put(m_gelTSDefGainIndex, value); }
int CamOpts::gelTSCurBinning() const { return m_store.get(m_gelTSCurBinning); }
void CamOpts::setGelTSCurBinning(const int& value) { m_store.put(m_gelTSCurBinning, value); }
double CamOpts::gelTSCurExposurePre() const { return m_store.get(m_gelTSCurExposurePre); }
void CamOpts::setGelTSCurExposurePre(const double& value) { m_store.put(m_gelTSCurExposurePre, value); }
int CamOpts::gelTSCurGain() const { return m_store.get(m_gelTSCurGain); }
void CamOpts::setGelTSCurGain(const int& value) { m_store.put(m_gelTSCurGain, value); }
int CamOpts::gelTSCurGainIndex() const { return m_store.get(m_gelTSCurGainIndex); }
void CamOpts::setGelTSCurGainIndex(const int& value) { m_store.put(m_gelTSCurGainIndex, value); }
int CamOpts::multTSDefBinning() const { return m_store.get(m_multTSDefBinning); }
void CamOpts::setMultTSDefBinning(const int& value) { m_store.put(m_multTSDefBinning, value); }
QString CamOpts::multTSDefExposurePre() const { return m_store.get(m_multTSDefExposurePre); }
void CamOpts::setMultTSDefExposurePre(const QString& value) { m_store.put(m_multTSDefExposurePre, value); }
QString CamOpts::multTSDefExposurePre6Para() const { return m_store.get(m_multTSDefExposurePre6Para); }
void CamOpts::setMultTSDefExposurePre6Para(const QString& value) { m_store.put(m_multTSDefExposurePre6Para, value); }
int CamOpts::multTSDefGain() const { return m_store.get(m_multTSDefGain); }
void CamOpts::setMultTSDefGain(const int& value) { m_store.put(m_multTSDefGain, value); }
int CamOpts::multTSDefGainIndex() const { return m_store.get(m_multTSDefGainIndex); }
void CamOpts::setMultTSDefGainIndex(const int& value) { m_store.put(m_multTSDefGainIndex, value); }
int CamOpts::multTSCurBinning() const { return m_store.get(m_multTSCurBinning); }
void CamOpts::setMultTSCurBinning(const int& value) { m_store.put(m_multTSCurBinning, value); }
double CamOpts::multTSCurExposurePre() const { return m_store.get(m_multTSCurExposurePre); }
void CamOpts::setMultTSCurExposurePre(const double& value) { m_store.put(m_multTSCurExposurePre, value); }
int CamOpts::multTSCurGain() const { return m_store.get(m_multTSCurGain); }
void CamOpts::setMultTSCurGain(const int& value) { m_store.put(m_multTSCurGain, value); }
int CamOpts::multTSCurGainIndex() const { return m_store.get(m_multTSCurGainIndex); }
void CamOpts::setMultTSCurGainIndex(const int& value) { m_store.put(m_multTSCurGainIndex, value); }
int CamOpts::autoFocusPosition() const { return m_store.get(m_autoFocusPosition); }
void CamOpts::setAutoFocusPosition(const int& value) { m_store.put(m_autoFocusPosition, value); }
