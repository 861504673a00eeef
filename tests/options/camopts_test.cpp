// The camera option store: every key's file form, garbage values, group operations, and saves
// from several threads (autofocus threads save the lens position from their own thread).
#include "camopts.h"

#include <QDir>
#include <QFile>
#include <QMetaEnum>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QStringList rawKeys(const QString& file)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("CamOption"));
    QStringList keys = settings.childKeys();
    keys.sort();
    return keys;
}

QString rawText(const QString& file, const QString& key)
{
    QSettings settings(file, QSettings::IniFormat);
    return settings.value(QStringLiteral("CamOption/") + key).toString();
}

struct KeyCase {
    const char* key;
    QVariant sample;
};

// In index order 0 to 33.
const std::vector<KeyCase> kKeys = {
    {"WBTSDefBinning", 2},          {"WBTSDefExposurePre", "1,2,3"},  {"WBTSDefExposurePre6Para", "6,5,4"},
    {"WBTSDefGain", 99},            {"WBTSDefGainIndex", 2},          {"WBTSCurBinning", 3},
    {"WBTSCurExposurePre", 12.5},   {"WBTSCurGain", 77},              {"WBTSCurGainIndex", 1},
    {"WBQIDefBinning", "4*4"},      {"WBQIDefExposurePre", "9,8"},    {"WBQIDefGainIndex", 1},
    {"WBQICurBinning", "1*1"},      {"WBQICurExposurePre", 333},      {"WBQICurGainIndex", 2},
    {"GelTSDefBinning", 4},         {"GelTSDefExposurePre", "7,7"},   {"GelTSDefExposurePre6Para", "8"},
    {"GelTSDefGain", 12},           {"GelTSDefGainIndex", 3},         {"GelTSCurBinning", 5},
    {"GelTSCurExposurePre", 0.25},  {"GelTSCurGain", 255},            {"GelTSCurGainIndex", 2},
    {"MultTSDefBinning", 6},        {"MultTSDefExposurePre", "5"},    {"MultTSDefExposurePre6Para", "4,4"},
    {"MultTSDefGain", 1},           {"MultTSDefGainIndex", 0},        {"MultTSCurBinning", 7},
    {"MultTSCurExposurePre", 1e4},  {"MultTSCurGain", 200},           {"MultTSCurGainIndex", 3},
    {"AutoFocusPosition", 2750},
};

QByteArray propertyOf(const char* key)
{
    QByteArray name(key);
    name[0] = char(QChar::toLower(uint(name[0])));
    return name;
}

} // namespace

class CamOptsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_file = m_dir->filePath(QStringLiteral("Ini/camOption.ini"));
    }

    void indexesAndEnumeratorNames()
    {
        const QMetaEnum meta = QMetaEnum::fromType<CamOpts::CamOptType>();
        QCOMPARE(meta.keyCount(), 34);
        QCOMPARE(meta.keyToValue("WBTS_DefBinning"), 0);
        QCOMPARE(meta.keyToValue("WBQI_CurGainIndex"), 14);
        QCOMPARE(meta.keyToValue("GelTS_CurExposurePre"), 21);
        QCOMPARE(meta.keyToValue("MultTS_DefExposurePre6Para"), 26);
        QCOMPARE(meta.keyToValue("AutoFocusPosition"), 33);
        for (int i = 0; i < meta.keyCount(); ++i) {
            QString expected = QString::fromLatin1(meta.key(i)).remove(QLatin1Char('_'));
            QCOMPARE(QString::fromLatin1(kKeys[size_t(meta.value(i))].key), expected);
        }
    }

    void roundTripEveryKey_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QVariant>("sample");
        for (size_t i = 0; i < kKeys.size(); ++i)
            QTest::newRow(kKeys[i].key) << int(i) << kKeys[i].sample;
    }

    void roundTripEveryKey()
    {
        QFETCH(int, index);
        QFETCH(QVariant, sample);
        const char* key = kKeys[size_t(index)].key;
        {
            CamOpts writer(m_file);
            QVERIFY(writer.setProperty(propertyOf(key), sample));
            writer.saveCamOptsByName(CamOpts::CamOptType(index));
        }
        QCOMPARE(rawKeys(m_file), QStringList{QString::fromLatin1(key)});
        CamOpts reader(m_file);
        reader.loadCamOptsByName(CamOpts::CamOptType(index));
        QCOMPARE(reader.property(propertyOf(key)).toString(), sample.toString());
    }

    void savedAtOnceWithoutAnEventLoop()
    {
        CamOpts store(m_file);
        store.setAutoFocusPosition(1234);
        store.saveCamOptsByName(CamOpts::AutoFocusPosition);
        QCOMPARE(rawText(m_file, QStringLiteral("AutoFocusPosition")), QStringLiteral("1234"));
    }

    void missingAndGarbageValues_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing int") << QByteArray("[CamOption]\n") << int(CamOpts::WBTS_DefGain) << "0";
        QTest::newRow("empty int") << QByteArray("[CamOption]\nWBTSDefGain=\n") << int(CamOpts::WBTS_DefGain)
                                   << "0";
        QTest::newRow("text int") << QByteArray("[CamOption]\nWBTSCurGain=high\n") << int(CamOpts::WBTS_CurGain)
                                  << "0";
        QTest::newRow("text double") << QByteArray("[CamOption]\nGelTSCurExposurePre=fast\n")
                                     << int(CamOpts::GelTS_CurExposurePre) << "0";
        QTest::newRow("nan double") << QByteArray("[CamOption]\nGelTSCurExposurePre=nan\n")
                                    << int(CamOpts::GelTS_CurExposurePre) << "0";
        QTest::newRow("missing text") << QByteArray("[CamOption]\n") << int(CamOpts::WBQI_CurBinning) << "";
        QTest::newRow("unquoted list") << QByteArray("[CamOption]\nWBTSDefExposurePre=200,50,15\n")
                                       << int(CamOpts::WBTS_DefExposurePre) << "200,50,15";
        QTest::newRow("wrong section") << QByteArray("[UserOption]\nAutoFocusPosition=5\n")
                                       << int(CamOpts::AutoFocusPosition) << "0";
    }

    void missingAndGarbageValues()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, index);
        QFETCH(QString, expected);
        writeFile(m_file, content);
        CamOpts store(m_file);
        store.setProperty(propertyOf(kKeys[size_t(index)].key), kKeys[size_t(index)].sample);
        store.loadCamOptsByName(CamOpts::CamOptType(index));
        QCOMPARE(store.property(propertyOf(kKeys[size_t(index)].key)).toString(), expected);
    }

    // A value a page cannot show (a binning of 999 left the gel page waiting for good) loads as
    // the option's default and is logged; the file keeps what it holds.
    void outOfRangeValuesFallBackToTheDefault_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("s20Mini");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("expected");
        QTest::newRow("binning 999") << QByteArray("[CamOption]\nGelTSCurBinning=999\n") << false
                                     << int(CamOpts::GelTS_CurBinning) << "1";
        QTest::newRow("binning 999, S20Mini") << QByteArray("[CamOption]\nGelTSCurBinning=999\n") << true
                                              << int(CamOpts::GelTS_CurBinning) << "0";
        QTest::newRow("negative binning") << QByteArray("[CamOption]\nMultTSCurBinning=-1\n") << false
                                          << int(CamOpts::MultTS_CurBinning) << "1";
        QTest::newRow("binning past int") << QByteArray("[CamOption]\nWBTSDefBinning=99999999999\n") << false
                                          << int(CamOpts::WBTS_DefBinning) << "1";
        QTest::newRow("gain index 4") << QByteArray("[CamOption]\nWBQICurGainIndex=4\n") << false
                                      << int(CamOpts::WBQI_CurGainIndex) << "3";
        QTest::newRow("gain 256") << QByteArray("[CamOption]\nGelTSDefGain=256\n") << false
                                  << int(CamOpts::GelTS_DefGain) << "45";
        QTest::newRow("negative exposure") << QByteArray("[CamOption]\nGelTSCurExposurePre=-5\n") << true
                                           << int(CamOpts::GelTS_CurExposurePre) << "200";
        QTest::newRow("huge exposure") << QByteArray("[CamOption]\nWBTSCurExposurePre=1e300\n") << false
                                       << int(CamOpts::WBTS_CurExposurePre) << "50";
        QTest::newRow("list with a huge element")
            << QByteArray("[CamOption]\nMultTSDefExposurePre=\"200,1e12,15\"\n") << false
            << int(CamOpts::MultTS_DefExposurePre) << "200,50,15,6,3,1,1,1";
        QTest::newRow("list with a word") << QByteArray("[CamOption]\nGelTSDefExposurePre6Para=\"200,x\"\n")
                                          << false << int(CamOpts::GelTS_DefExposurePre6Para)
                                          << "200,50,22,12,6,3";
        QTest::newRow("lens far out") << QByteArray("[CamOption]\nAutoFocusPosition=-40\n") << false
                                      << int(CamOpts::AutoFocusPosition) << "0";
        QTest::newRow("edges stay") << QByteArray("[CamOption]\nGelTSCurBinning=7\n") << false
                                    << int(CamOpts::GelTS_CurBinning) << "7";
    }

    void outOfRangeValuesFallBackToTheDefault()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, s20Mini);
        QFETCH(int, index);
        QFETCH(QString, expected);
        writeFile(m_file, content);
        CamOpts store(m_file);
        store.initGelTSDefaults(s20Mini);
        const QString key = QString::fromLatin1(kKeys[size_t(index)].key);
        const QString stored = rawText(m_file, key);
        if (stored != expected)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^设置值超出范围，使用默认值: CamOption/")
                                                                  + key + QStringLiteral(" ")));
        store.loadCamOptsByName(CamOpts::CamOptType(index));
        QCOMPARE(store.property(propertyOf(kKeys[size_t(index)].key)).toString(), expected);
        QCOMPARE(rawText(m_file, key), stored);
    }

    void indexesOutsideTheTableChangeNothing()
    {
        writeFile(m_file, "[CamOption]\nAutoFocusPosition=5\n");
        CamOpts store(m_file);
        store.setAutoFocusPosition(9);
        for (int index : {34, 40, -1, 1000}) {
            store.saveCamOptsByName(CamOpts::CamOptType(index));
            store.loadCamOptsByName(CamOpts::CamOptType(index));
        }
        QCOMPARE(store.autoFocusPosition(), 9);
        QCOMPARE(rawKeys(m_file), QStringList{QStringLiteral("AutoFocusPosition")});
        QCOMPARE(rawText(m_file, QStringLiteral("AutoFocusPosition")), QStringLiteral("5"));
    }

    void groupOperations_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("DefWBTS") << "DefWBTS"
                                 << QStringList{"WBTSDefBinning", "WBTSDefExposurePre", "WBTSDefExposurePre6Para",
                                                "WBTSDefGain", "WBTSDefGainIndex"};
        QTest::newRow("CurWBTS") << "CurWBTS"
                                 << QStringList{"WBTSCurBinning", "WBTSCurExposurePre", "WBTSCurGain",
                                                "WBTSCurGainIndex"};
        QTest::newRow("DefWBQI") << "DefWBQI"
                                 << QStringList{"WBQIDefBinning", "WBQIDefExposurePre", "WBQIDefGainIndex"};
        QTest::newRow("CurWBQI") << "CurWBQI"
                                 << QStringList{"WBQICurBinning", "WBQICurExposurePre", "WBQICurGainIndex"};
        QTest::newRow("DefGelTS") << "DefGelTS"
                                  << QStringList{"GelTSDefBinning", "GelTSDefExposurePre", "GelTSDefExposurePre6Para",
                                                 "GelTSDefGain", "GelTSDefGainIndex"};
        QTest::newRow("CurGelTS") << "CurGelTS"
                                  << QStringList{"GelTSCurBinning", "GelTSCurExposurePre", "GelTSCurGain",
                                                 "GelTSCurGainIndex"};
        QTest::newRow("DefMultTS") << "DefMultTS"
                                   << QStringList{"MultTSDefBinning", "MultTSDefExposurePre",
                                                  "MultTSDefExposurePre6Para", "MultTSDefGain",
                                                  "MultTSDefGainIndex"};
        QTest::newRow("CurMultTS") << "CurMultTS"
                                   << QStringList{"MultTSCurBinning", "MultTSCurExposurePre", "MultTSCurGain",
                                                  "MultTSCurGainIndex"};
    }

    void groupOperations()
    {
        QFETCH(QString, group);
        QFETCH(QStringList, keys);
        CamOpts writer(m_file);
        for (const KeyCase& c : kKeys)
            writer.setProperty(propertyOf(c.key), c.sample);
        QVERIFY(QMetaObject::invokeMethod(&writer, ("save" + group + "CamOpts").toLatin1()));
        QStringList sortedKeys = keys;
        sortedKeys.sort();
        QCOMPARE(rawKeys(m_file), sortedKeys);
        CamOpts reader(m_file);
        QVERIFY(QMetaObject::invokeMethod(&reader, ("load" + group + "CamOpts").toLatin1()));
        for (const KeyCase& c : kKeys) {
            const bool inGroup = keys.contains(QLatin1String(c.key));
            const QString value = reader.property(propertyOf(c.key)).toString();
            if (inGroup)
                QCOMPARE(value, c.sample.toString());
            else
                QVERIFY2(value.isEmpty() || value == QLatin1String("0"), c.key);
        }
    }

    void defaultSetsLeavePresentKeys()
    {
        writeFile(m_file, "[CamOption]\nWBTSDefGain=\nWBTSCurExposurePre=80\n");
        CamOpts store(m_file);
        store.initWBTSDefaults();
        QCOMPARE(rawText(m_file, QStringLiteral("WBTSDefGain")), QString());
        QCOMPARE(rawText(m_file, QStringLiteral("WBTSCurExposurePre")), QStringLiteral("80"));
        QCOMPARE(rawText(m_file, QStringLiteral("WBTSDefBinning")), QStringLiteral("1"));
        QCOMPARE(rawKeys(m_file).size(), 9);
        store.loadCamOptsByName(CamOpts::WBTS_DefGain);
        QCOMPARE(store.wBTSDefGain(), 0);
    }

    void gelDefaultsFollowTheModel()
    {
        {
            CamOpts mini(m_file);
            mini.initGelTSDefaults(true);
        }
        QCOMPARE(rawText(m_file, QStringLiteral("GelTSCurBinning")), QStringLiteral("0"));
        QCOMPARE(rawText(m_file, QStringLiteral("GelTSCurExposurePre")), QStringLiteral("200"));
        const QString other = m_dir->filePath(QStringLiteral("other.ini"));
        CamOpts normal(other);
        normal.initGelTSDefaults(false);
        QCOMPARE(rawText(other, QStringLiteral("GelTSCurBinning")), QStringLiteral("1"));
        QCOMPARE(rawText(other, QStringLiteral("GelTSCurExposurePre")), QStringLiteral("50"));
        QCOMPARE(rawKeys(other).size(), 9);
    }

    void concurrentSavesLoseNothing()
    {
        CamOpts store(m_file);
        constexpr int kRounds = 80;
        std::unique_ptr<QThread> autofocus(QThread::create([&] {
            for (int round = 1; round <= kRounds; ++round) {
                store.setAutoFocusPosition(round);
                store.saveCamOptsByName(CamOpts::AutoFocusPosition);
                store.loadCamOptsByName(CamOpts::AutoFocusPosition);
            }
        }));
        autofocus->start();
        for (int round = 1; round <= kRounds; ++round) {
            store.setWBTSCurGain(round);
            store.saveCurWBTSCamOpts();
            store.loadDefGelTSCamOpts();
        }
        QVERIFY(autofocus->wait(60000));
        QCOMPARE(rawText(m_file, QStringLiteral("AutoFocusPosition")), QString::number(kRounds));
        QCOMPARE(rawText(m_file, QStringLiteral("WBTSCurGain")), QString::number(kRounds));
    }

    void getInstanceIsOneObjectOnTheApplicationDirectory()
    {
        QTemporaryDir appDir;
        qputenv("TAVRILL_APP_DIR", appDir.path().toLocal8Bit());
        CamOpts* first = CamOpts::getInstance();
        QCOMPARE(CamOpts::getInstance(), first);
        QCOMPARE(QFileInfo(first->filePath()).absoluteFilePath(),
                 QFileInfo(appDir.filePath(QStringLiteral("Ini/camOption.ini"))).absoluteFilePath());
        qunsetenv("TAVRILL_APP_DIR");
    }
};

QTEST_GUILESS_MAIN(CamOptsTest)
#include "camopts_test.moc"
