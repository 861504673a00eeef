#pragma once

#include <QObject>
#include <QString>

#include "optionstore.h"

// Camera preview settings of the four acquisition paths in <appDir>/Ini/camOption.ini, group
// "CamOption": the defaults a page falls back to (Def) and what the preview last used (Cur).
// Same protocol as UserOpts: load by index before reading, save by index after writing. One
// mutex guards members and file, because autofocus threads save from their own thread; each
// save is flushed to disk at once.
class CamOpts : public QObject {
    Q_OBJECT
    Q_PROPERTY(int wBTSDefBinning READ wBTSDefBinning WRITE setWBTSDefBinning)
    Q_PROPERTY(QString wBTSDefExposurePre READ wBTSDefExposurePre WRITE setWBTSDefExposurePre)
    Q_PROPERTY(QString wBTSDefExposurePre6Para READ wBTSDefExposurePre6Para WRITE setWBTSDefExposurePre6Para)
    Q_PROPERTY(int wBTSDefGain READ wBTSDefGain WRITE setWBTSDefGain)
    Q_PROPERTY(int wBTSDefGainIndex READ wBTSDefGainIndex WRITE setWBTSDefGainIndex)
    Q_PROPERTY(int wBTSCurBinning READ wBTSCurBinning WRITE setWBTSCurBinning)
    Q_PROPERTY(double wBTSCurExposurePre READ wBTSCurExposurePre WRITE setWBTSCurExposurePre)
    Q_PROPERTY(int wBTSCurGain READ wBTSCurGain WRITE setWBTSCurGain)
    Q_PROPERTY(int wBTSCurGainIndex READ wBTSCurGainIndex WRITE setWBTSCurGainIndex)
    Q_PROPERTY(QString wBQIDefBinning READ wBQIDefBinning WRITE setWBQIDefBinning)
    Q_PROPERTY(QString wBQIDefExposurePre READ wBQIDefExposurePre WRITE setWBQIDefExposurePre)
    Q_PROPERTY(int wBQIDefGainIndex READ wBQIDefGainIndex WRITE setWBQIDefGainIndex)
    Q_PROPERTY(QString wBQICurBinning READ wBQICurBinning WRITE setWBQICurBinning)
    Q_PROPERTY(int wBQICurExposurePre READ wBQICurExposurePre WRITE setWBQICurExposurePre)
    Q_PROPERTY(int wBQICurGainIndex READ wBQICurGainIndex WRITE setWBQICurGainIndex)
    Q_PROPERTY(int gelTSDefBinning READ gelTSDefBinning WRITE setGelTSDefBinning)
    Q_PROPERTY(QString gelTSDefExposurePre READ gelTSDefExposurePre WRITE setGelTSDefExposurePre)
    Q_PROPERTY(QString gelTSDefExposurePre6Para READ gelTSDefExposurePre6Para WRITE setGelTSDefExposurePre6Para)
    Q_PROPERTY(int gelTSDefGain READ gelTSDefGain WRITE setGelTSDefGain)
    Q_PROPERTY(int gelTSDefGainIndex READ gelTSDefGainIndex WRITE setGelTSDefGainIndex)
    Q_PROPERTY(int gelTSCurBinning READ gelTSCurBinning WRITE setGelTSCurBinning)
    Q_PROPERTY(double gelTSCurExposurePre READ gelTSCurExposurePre WRITE setGelTSCurExposurePre)
    Q_PROPERTY(int gelTSCurGain READ gelTSCurGain WRITE setGelTSCurGain)
    Q_PROPERTY(int gelTSCurGainIndex READ gelTSCurGainIndex WRITE setGelTSCurGainIndex)
    Q_PROPERTY(int multTSDefBinning READ multTSDefBinning WRITE setMultTSDefBinning)
    Q_PROPERTY(QString multTSDefExposurePre READ multTSDefExposurePre WRITE setMultTSDefExposurePre)
    Q_PROPERTY(QString multTSDefExposurePre6Para READ multTSDefExposurePre6Para WRITE setMultTSDefExposurePre6Para)
    Q_PROPERTY(int multTSDefGain READ multTSDefGain WRITE setMultTSDefGain)
    Q_PROPERTY(int multTSDefGainIndex READ multTSDefGainIndex WRITE setMultTSDefGainIndex)
    Q_PROPERTY(int multTSCurBinning READ multTSCurBinning WRITE setMultTSCurBinning)
    Q_PROPERTY(double multTSCurExposurePre READ multTSCurExposurePre WRITE setMultTSCurExposurePre)
    Q_PROPERTY(int multTSCurGain READ multTSCurGain WRITE setMultTSCurGain)
    Q_PROPERTY(int multTSCurGainIndex READ multTSCurGainIndex WRITE setMultTSCurGainIndex)
    Q_PROPERTY(int autoFocusPosition READ autoFocusPosition WRITE setAutoFocusPosition)

public:
    enum GainType { Gain1 = 1, Gain2 = 2, Gain3 = 3 };
    Q_ENUM(GainType)
    enum ResolutionType {
        Resolution1x1 = 0,
        Resolution2x2,
        Resolution4x4,
        Resolution6x6,
        Resolution8x8,
        Resolution12x12,
        Resolution16x16,
        Resolution24x24
    };
    Q_ENUM(ResolutionType)
    // Fixed underlying type: callers may pass indexes outside the table, which are ignored.
    enum CamOptType : int {
        WBTS_DefBinning = 0,
        WBTS_DefExposurePre = 1,
        WBTS_DefExposurePre6Para = 2,
        WBTS_DefGain = 3,
        WBTS_DefGainIndex = 4,
        WBTS_CurBinning = 5,
        WBTS_CurExposurePre = 6,
        WBTS_CurGain = 7,
        WBTS_CurGainIndex = 8,
        WBQI_DefBinning = 9,
        WBQI_DefExposurePre = 10,
        WBQI_DefGainIndex = 11,
        WBQI_CurBinning = 12,
        WBQI_CurExposurePre = 13,
        WBQI_CurGainIndex = 14,
        GelTS_DefBinning = 15,
        GelTS_DefExposurePre = 16,
        GelTS_DefExposurePre6Para = 17,
        GelTS_DefGain = 18,
        GelTS_DefGainIndex = 19,
        GelTS_CurBinning = 20,
        GelTS_CurExposurePre = 21,
        GelTS_CurGain = 22,
        GelTS_CurGainIndex = 23,
        MultTS_DefBinning = 24,
        MultTS_DefExposurePre = 25,
        MultTS_DefExposurePre6Para = 26,
        MultTS_DefGain = 27,
        MultTS_DefGainIndex = 28,
        MultTS_CurBinning = 29,
        MultTS_CurExposurePre = 30,
        MultTS_CurGain = 31,
        MultTS_CurGainIndex = 32,
        AutoFocusPosition = 33,
    };
    Q_ENUM(CamOptType)

    // The process-wide instance on <appDir>/Ini/camOption.ini, created on first use.
    static CamOpts* getInstance();
    // A store on another file (tests; the process uses getInstance()).
    explicit CamOpts(const QString& iniPath, QObject* parent = nullptr);
    ~CamOpts() override;

    Q_INVOKABLE void saveCamOptsByName(CamOpts::CamOptType camOptType);
    Q_INVOKABLE void loadCamOptsByName(CamOpts::CamOptType camOptType);
    Q_INVOKABLE void saveDefWBTSCamOpts();
    Q_INVOKABLE void loadDefWBTSCamOpts();
    Q_INVOKABLE void saveCurWBTSCamOpts();
    Q_INVOKABLE void loadCurWBTSCamOpts();
    Q_INVOKABLE void saveDefWBQICamOpts();
    Q_INVOKABLE void loadDefWBQICamOpts();
    Q_INVOKABLE void saveCurWBQICamOpts();
    Q_INVOKABLE void loadCurWBQICamOpts();
    Q_INVOKABLE void saveDefGelTSCamOpts();
    Q_INVOKABLE void loadDefGelTSCamOpts();
    Q_INVOKABLE void saveCurGelTSCamOpts();
    Q_INVOKABLE void loadCurGelTSCamOpts();
    Q_INVOKABLE void saveDefMultTSCamOpts();
    Q_INVOKABLE void loadDefMultTSCamOpts();
    Q_INVOKABLE void saveCurMultTSCamOpts();
    Q_INVOKABLE void loadCurMultTSCamOpts();

    // Start-up defaults: each writes a default only for a key the file lacks. The gel set's
    // argument is true for the one model whose gel preview starts unbinned at 200 ms.
    void initWBTSDefaults();
    void initWBQIDefaults();
    void initGelTSDefaults(bool isS20Mini);
    void initMultTSDefaults();

    QString filePath() const;

    int wBTSDefBinning() const;
    void setWBTSDefBinning(const int& value);
    QString wBTSDefExposurePre() const;
    void setWBTSDefExposurePre(const QString& value);
    QString wBTSDefExposurePre6Para() const;
    void setWBTSDefExposurePre6Para(const QString& value);
    int wBTSDefGain() const;
    void setWBTSDefGain(const int& value);
    int wBTSDefGainIndex() const;
    void setWBTSDefGainIndex(const int& value);
    int wBTSCurBinning() const;
    void setWBTSCurBinning(const int& value);
    double wBTSCurExposurePre() const;
    void setWBTSCurExposurePre(const double& value);
    int wBTSCurGain() const;
    void setWBTSCurGain(const int& value);
    int wBTSCurGainIndex() const;
    void setWBTSCurGainIndex(const int& value);
    QString wBQIDefBinning() const;
    void setWBQIDefBinning(const QString& value);
    QString wBQIDefExposurePre() const;
    void setWBQIDefExposurePre(const QString& value);
    int wBQIDefGainIndex() const;
    void setWBQIDefGainIndex(const int& value);
    QString wBQICurBinning() const;
    void setWBQICurBinning(const QString& value);
    int wBQICurExposurePre() const;
    void setWBQICurExposurePre(const int& value);
    int wBQICurGainIndex() const;
    void setWBQICurGainIndex(const int& value);
    int gelTSDefBinning() const;
    void setGelTSDefBinning(const int& value);
    QString gelTSDefExposurePre() const;
    void setGelTSDefExposurePre(const QString& value);
    QString gelTSDefExposurePre6Para() const;
    void setGelTSDefExposurePre6Para(const QString& value);
    int gelTSDefGain() const;
    void setGelTSDefGain(const int& value);
    int gelTSDefGainIndex() const;
    void setGelTSDefGainIndex(const int& value);
    int gelTSCurBinning() const;
    void setGelTSCurBinning(const int& value);
    double gelTSCurExposurePre() const;
    void setGelTSCurExposurePre(const double& value);
    int gelTSCurGain() const;
    void setGelTSCurGain(const int& value);
    int gelTSCurGainIndex() const;
    void setGelTSCurGainIndex(const int& value);
    int multTSDefBinning() const;
    void setMultTSDefBinning(const int& value);
    QString multTSDefExposurePre() const;
    void setMultTSDefExposurePre(const QString& value);
    QString multTSDefExposurePre6Para() const;
    void setMultTSDefExposurePre6Para(const QString& value);
    int multTSDefGain() const;
    void setMultTSDefGain(const int& value);
    int multTSDefGainIndex() const;
    void setMultTSDefGainIndex(const int& value);
    int multTSCurBinning() const;
    void setMultTSCurBinning(const int& value);
    double multTSCurExposurePre() const;
    void setMultTSCurExposurePre(const double& value);
    int multTSCurGain() const;
    void setMultTSCurGain(const int& value);
    int multTSCurGainIndex() const;
    void setMultTSCurGainIndex(const int& value);
    int autoFocusPosition() const;
    void setAutoFocusPosition(const int& value);

private:
    static const OptionEntry<CamOpts> s_entries[];
    void saveRange(int first, int last);
    void loadRange(int first, int last);

    OptionStore<CamOpts> m_store;

    int m_wBTSDefBinning{0};
    QString m_wBTSDefExposurePre;
    QString m_wBTSDefExposurePre6Para;
    int m_wBTSDefGain{0};
    int m_wBTSDefGainIndex{0};
    int m_wBTSCurBinning{0};
    double m_wBTSCurExposurePre{0.0};
    int m_wBTSCurGain{0};
    int m_wBTSCurGainIndex{0};
    QString m_wBQIDefBinning;
    QString m_wBQIDefExposurePre;
    int m_wBQIDefGainIndex{0};
    QString m_wBQICurBinning;
    int m_wBQICurExposurePre{0};
    int m_wBQICurGainIndex{0};
    int m_gelTSDefBinning{0};
    QString m_gelTSDefExposurePre;
    QString m_gelTSDefExposurePre6Para;
    int m_gelTSDefGain{0};
    int m_gelTSDefGainIndex{0};
    int m_gelTSCurBinning{0};
    double m_gelTSCurExposurePre{0.0};
    int m_gelTSCurGain{0};
    int m_gelTSCurGainIndex{0};
    int m_multTSDefBinning{0};
    QString m_multTSDefExposurePre;
    QString m_multTSDefExposurePre6Para;
    int m_multTSDefGain{0};
    int m_multTSDefGainIndex{0};
    int m_multTSCurBinning{0};
    double m_multTSCurExposurePre{0.0};
    int m_multTSCurGain{0};
    int m_multTSCurGainIndex{0};
    int m_autoFocusPosition{0};
};
