// The user option store: every key's file form, the load rules for missing, empty and
// garbage values, the signals, and saves and loads from several threads at once.
#include "useropts.h"

#include <QDir>
#include <QFile>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>
#include <vector>

namespace {

struct KeyCase {
    UserOpts::UserOptType index;
    const char* key;
    QVariant sample;   // differs from the initial value
    const char* text;  // the sample as the file holds it
};

const QString kAwkwardText = QStringLiteral("D:/图像/a,b=c;\"q\" 1");

std::vector<KeyCase> keyCases()
{
    using U = UserOpts;
    return {
        {U::OPT_Language, "language", int(U::English), "1"},
        {U::OPT_ImageSavePath, "imageSavePath", kAwkwardText, nullptr},
        {U::OPT_ImageShowMode, "imageShowMode", 1, "1"},
        {U::OPT_ImageClean, "imageClean", true, "true"},
        {U::OPT_ImageCleanTime, "imageCleanTime", 30, "30"},
        {U::OPT_LightAutoShutDownTime, "lightAutoShutDownTime", 2, "2"},
        {U::OPT_ExportPath, "exportPath", QStringLiteral("file:///home/u/导出"), nullptr},
        {U::OPT_F535nmSelected, "f535nmSelected", true, "true"},
        {U::OPT_F590nmSelected, "f590nmSelected", true, "true"},
        {U::OPT_F605nmSelected, "f605nmSelected", true, "true"},
        {U::OPT_F700nmSelected, "f700nmSelected", true, "true"},
        {U::OPT_F840nmSelected, "f840nmSelected", true, "true"},
        {U::OPT_AutoMatchFilter, "autoMatchFilter", true, "true"},
        {U::OPT_WhiteLightFilterPos, "whiteLightFilterPos", 1, "1"},
        {U::OPT_UV302nmFilterPos, "uv302nmFilterPos", 2, "2"},
        {U::OPT_R625nmFilterPos, "r625nmFilterPos", 3, "3"},
        {U::OPT_G520nmFilterPos, "g520nmFilterPos", 4, "4"},
        {U::OPT_B470nmFilterPos, "b470nmFilterPos", 5, "5"},
        {U::OPT_IR660nmFilterPos, "ir660nmFilterPos", 6, "6"},
        {U::OPT_IR740nmFilterPos, "ir740nmFilterPos", 6, "6"},
        {U::OPT_UV254nmFilterPos, "uv254nmFilterPos", 1, "1"},
        {U::OPT_UV365nmFilterPos, "uv365nmFilterPos", 2, "2"},
        {U::OPT_BlueFilterPos, "blueFilterPos", 3, "3"},
        {U::OPT_UV254nmSelected, "uv254nmSelected", true, "true"},
        {U::OPT_UV365nmSelected, "uv365nmSelected", true, "true"},
        {U::OPT_MainTitle, "mainTitle", QStringLiteral("实验报告"), nullptr},
        {U::OPT_SubTitle, "subTitle", QStringLiteral("sub, title"), nullptr},
        {U::OPT_CameraCooling, "cameraCooling", true, "true"},
        {U::OPT_MarkerCapture, "markerCapture", true, "true"},
        {U::OPT_SampleImageBkColor, "sampleImageBkColor", int(U::Black), "1"},
        {U::OPT_IntelligentAnalysis, "intelligentAnalysis", int(U::OpenSensitivity), "1"},
        {U::OPT_SingleCapExpTime, "singleCapExpTime", 3600000, "3600000"},
        {U::OPT_MultiCapCount, "multiCapCount", 5, "5"},
        {U::OPT_MultiCapFirstTime, "multiCapFirstTime", 12, "12"},
        {U::OPT_MultiCapDeltaTime, "multiCapDeltaTime", 7, "7"},
        {U::OPT_MultiCapFirstTimeUnit, "multiCapFirstTimeUnit", int(U::Minute), "2"},
        {U::OPT_MultiCapDeltaTimeUnit, "multiCapDeltaTimeUnit", int(U::Millisecond) + 2, "2"},
        {U::OPT_MultiCapExpTimes, "multiCapExpTimes", QStringLiteral("100,200,400"), nullptr},
        {U::OPT_MultiCapExpTimesChanged, "multiCapExpTimesChanged", true, "true"},
        {U::OPT_IntegralAccumulate, "integralAccumulate", true, "true"},
        {U::OPT_AlreadyEnterUM, "alreadyEnterUM", true, "true"},
        {U::OPT_AlreadyEnterRM, "alreadyEnterRM", true, "true"},
        {U::OPT_AlreadyEnterGM, "alreadyEnterGM", true, "true"},
        {U::OPT_LastLoginUser, "lastLoginUser", QStringLiteral("管理员"), nullptr},
        {U::OPT_FocusCurrentAddr, "focusCurrentAddr", 2345, "2345"},
        {U::OPT_FocusMin, "focusMin", -20, "-20"},
        {U::OPT_FocusMax, "focusMax", 4000, "4000"},
        {U::OPT_AutoCapture, "autoCapture", true, "true"},
        {U::OPT_BluePercent, "bluePercent", 80, "80"},
        {U::OPT_CurFocusValue, "curFocusValue", 1999, "1999"},
        {U::OPT_IsSignature, "isSignature", true, "true"},
        {U::OPT_IsExposure, "isExposure", true, "true"},
        {U::OPT_IsAutoStretch, "isAutoStretch", false, "false"},
        {U::OPT_IsAutoKeyboard, "isAutoKeyboard", false, "false"},
        {U::OPT_AfOffset, "afOffset", -15, "-15"},
        {U::OPT_IsExportWatermark, "isExportWatermark", false, "false"},
        {U::OPT_IsFFCOpen, "isFFCOpen", true, "true"},
        {U::OPT_ColorMarker, "colorMarker", true, "true"},
        {U::OPT_ColorMarkerVisible, "colorMarkerVisible", true, "true"},
        {U::OPT_IsBeautifyPictures, "isBeautifyPictures", true, "true"},
        {U::OPT_GelX, "gelX", 11, "11"},
        {U::OPT_GelY, "gelY", 12, "12"},
        {U::OPT_GelW, "gelW", 13, "13"},
        {U::OPT_GelH, "gelH", 14, "14"},
        {U::OPT_IsChangPathEveryTime, "isChangPathEveryTime", true, "true"},
        {U::OPT_LastFocusGel, "lastFocusGel", 1501, "1501"},
        {U::OPT_LastFocusUpWb, "lastFocusUpWb", 1701, "1701"},
        {U::OPT_LastFocusDownWb, "lastFocusDownWb", 1502, "1502"},
        {U::OPT_LastFocusFul, "lastFocusFul", 1503, "1503"},
        {U::OPT_WBX, "wbX", 21, "21"},
        {U::OPT_WBY, "wbY", 22, "22"},
        {U::OPT_WBW, "wbW", 23, "23"},
        {U::OPT_WBH, "wbH", 24, "24"},
        {U::OPT_FluX, "fluX", 31, "31"},
        {U::OPT_FluY, "fluY", 32, "32"},
        {U::OPT_FluW, "fluW", 33, "33"},
        {U::OPT_FluH, "fluH", 34, "34"},
        {U::OPT_FocusPosition, "focusPosition", 1, "1"},
        {U::OPT_SharpenLevel, "sharpenLevel", 3, "3"},
        {U::OPT_StrengthMarker, "strengthMarker", true, "true"},
        {U::OPT_CurFocusGel, "curFocusGel", 1600, "1600"},
        {U::OPT_CurFocusWB, "curFocusWB", 1601, "1601"},
        {U::OPT_CurFocusFul, "curFocusFul", 1602, "1602"},
        {U::OPT_GrayTarget, "grayTarget", 180, "180"},
        {U::OPT_AverageGrayThd, "averageGrayThd", 9, "9"},
    };
}

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QVariant rawValue(const QString& file, const QString& key)
{
    QSettings settings(file, QSettings::IniFormat);
    return settings.value(QStringLiteral("UserOption/") + key);
}

QStringList rawKeys(const QString& file)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("UserOption"));
    return settings.childKeys();
}

} // namespace

class UserOptsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_file = m_dir->filePath(QStringLiteral("Ini/userOption.ini"));
    }

    void everyIndexHasAKeyCase()
    {
        const QMetaEnum meta = QMetaEnum::fromType<UserOpts::UserOptType>();
        QCOMPARE(meta.keyCount(), 86);
        QCOMPARE(meta.value(0), 3);
        QCOMPARE(meta.value(meta.keyCount() - 1), 88);
        QCOMPARE(meta.keyToValue("OPT_HISTLEVELPERCENT"), 58);
        QCOMPARE(meta.keyToValue("OPT_WBX"), 73);
        QCOMPARE(int(keyCases().size()), meta.keyCount() - 1); // histLevelPercent has its own test
        for (const KeyCase& c : keyCases())
            QVERIFY2(meta.valueToKey(c.index) != nullptr, c.key);
    }

    void roundTripEveryKey_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("sample");
        QTest::addColumn<QString>("text");
        for (const KeyCase& c : keyCases())
            QTest::newRow(c.key) << int(c.index) << QString::fromLatin1(c.key) << c.sample
                                 << (c.text ? QString::fromLatin1(c.text) : c.sample.toString());
    }

    void roundTripEveryKey()
    {
        QFETCH(int, index);
        QFETCH(QString, key);
        QFETCH(QVariant, sample);
        QFETCH(QString, text);
        {
            UserOpts writer(m_file);
            QVERIFY(writer.setProperty(key.toLatin1(), sample));
            writer.saveUserOptsByName(UserOpts::UserOptType(index));
        }
        // The save alone is on disk, under the key, in the plain text form of its type.
        QCOMPARE(rawKeys(m_file), QStringList{key});
        QCOMPARE(rawValue(m_file, key).toString(), text);

        UserOpts reader(m_file);
        reader.loadUserOptsByName(UserOpts::UserOptType(index));
        QCOMPARE(reader.property(key.toLatin1()).toInt(), sample.toInt());
        QCOMPARE(reader.property(key.toLatin1()).toString(), sample.toString());
    }

    void loadRules_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("line"); // empty: the key is missing
        QTest::addColumn<QVariant>("expected");
        // Keys marked keep: missing or empty leaves the initial value.
        QTest::newRow("isAutoKeyboard missing") << "isAutoKeyboard" << QByteArray() << QVariant(true);
        QTest::newRow("isAutoKeyboard false") << "isAutoKeyboard" << QByteArray("false") << QVariant(false);
        QTest::newRow("isAutoKeyboard empty") << "isAutoKeyboard" << QByteArray("=") << QVariant(true);
        QTest::newRow("isExportWatermark empty") << "isExportWatermark" << QByteArray("=") << QVariant(true);
        QTest::newRow("lastFocusGel empty") << "lastFocusGel" << QByteArray("=") << QVariant(1500);
        QTest::newRow("lastFocusUpWb missing") << "lastFocusUpWb" << QByteArray() << QVariant(1700);
        QTest::newRow("grayTarget missing") << "grayTarget" << QByteArray() << QVariant(100);
        QTest::newRow("averageGrayThd missing") << "averageGrayThd" << QByteArray() << QVariant(5);
        QTest::newRow("curFocusWB empty") << "curFocusWB" << QByteArray("=") << QVariant(1500);
        // Keep applies to empty values only: garbage is the plain rule's 0.
        QTest::newRow("lastFocusGel garbage") << "lastFocusGel" << QByteArray("abc") << QVariant(0);
        // Plain keys: missing or empty is the empty value of the type.
        QTest::newRow("colorMarkerVisible missing") << "colorMarkerVisible" << QByteArray() << QVariant(false);
        QTest::newRow("colorMarkerVisible empty") << "colorMarkerVisible" << QByteArray("=") << QVariant(false);
        QTest::newRow("bluePercent empty") << "bluePercent" << QByteArray("=") << QVariant(0);
        QTest::newRow("imageSavePath missing") << "imageSavePath" << QByteArray() << QVariant(QString());
        // Garbage gives defined values.
        QTest::newRow("int text") << "imageCleanTime" << QByteArray("abc") << QVariant(0);
        QTest::newRow("int with unit") << "imageCleanTime" << QByteArray("7days") << QVariant(0);
        QTest::newRow("int fraction") << "singleCapExpTime" << QByteArray("1.5") << QVariant(0);
        QTest::newRow("int overflow") << "singleCapExpTime" << QByteArray("99999999999") << QVariant(0);
        QTest::newRow("int as list") << "multiCapCount" << QByteArray("1,2") << QVariant(0);
        QTest::newRow("int quoted") << "multiCapCount" << QByteArray("\"4\"") << QVariant(4);
        QTest::newRow("bool 0") << "isSignature" << QByteArray("0") << QVariant(false);
        QTest::newRow("bool FALSE") << "isSignature" << QByteArray("FALSE") << QVariant(false);
        QTest::newRow("bool 1") << "isSignature" << QByteArray("1") << QVariant(true);
        // Out of range is stored and loaded as it is; the pages enforce ranges.
        QTest::newRow("language out of range") << "language" << QByteArray("7") << QVariant(7);
        QTest::newRow("negative position") << "whiteLightFilterPos" << QByteArray("-3") << QVariant(-3);
        // An unquoted list reads back as the text it was.
        QTest::newRow("unquoted list text") << "multiCapExpTimes" << QByteArray("100,200,400")
                                           << QVariant(QStringLiteral("100,200,400"));
    }

    void loadRules()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, line);
        QFETCH(QVariant, expected);
        QByteArray content = "[UserOption]\n";
        if (line == "=")
            content += key.toLatin1() + "=\n";
        else if (!line.isEmpty())
            content += key.toLatin1() + "=" + line + "\n";
        writeFile(m_file, content);
        UserOpts store(m_file);
        for (const KeyCase& c : keyCases()) {
            if (key == QLatin1String(c.key))
                store.loadUserOptsByName(c.index);
        }
        QCOMPARE(store.property(key.toLatin1()).toString(), expected.toString());
    }

    void keepRuleKeepsTheLastLoadedValue()
    {
        writeFile(m_file, "[UserOption]\nlastFocusGel=1800\n");
        UserOpts store(m_file);
        QCOMPARE(store.lastFocusGel(), 1800);
        writeFile(m_file, "[UserOption]\nlastFocusGel=\n");
        store.loadUserOptsByName(UserOpts::OPT_LastFocusGel);
        QCOMPARE(store.lastFocusGel(), 1800);
        UserOpts fresh(m_file);
        QCOMPARE(fresh.lastFocusGel(), 1500);
    }

    void histLevelPercent_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<double>("expected");
        QTest::addColumn<QString>("fileAfter");
        QTest::newRow("missing") << QByteArray("[UserOption]\n") << 0.001 << "0.001";
        QTest::newRow("empty") << QByteArray("[UserOption]\nhistLevelPercent=\n") << 0.001 << "0.001";
        QTest::newRow("usable fraction") << QByteArray("[UserOption]\nhistLevelPercent=0.005\n") << 0.005
                                         << "0.005";
        QTest::newRow("garbage") << QByteArray("[UserOption]\nhistLevelPercent=abc\n") << 0.001 << "abc";
        QTest::newRow("not a fraction") << QByteArray("[UserOption]\nhistLevelPercent=5\n") << 0.001 << "5";
        QTest::newRow("negative") << QByteArray("[UserOption]\nhistLevelPercent=-0.1\n") << 0.001 << "-0.1";
    }

    void histLevelPercent()
    {
        QFETCH(QByteArray, content);
        QFETCH(double, expected);
        QFETCH(QString, fileAfter);
        writeFile(m_file, content);
        UserOpts store(m_file);
        store.loadUserOptsByName(UserOpts::OPT_HISTLEVELPERCENT);
        QCOMPARE(store.histLevelPercent(), expected);
        QCOMPARE(rawValue(m_file, QStringLiteral("histLevelPercent")).toString(), fileAfter);
    }

    void indexesOutsideTheTableChangeNothing()
    {
        writeFile(m_file, "[UserOption]\nimageCleanTime=9\n");
        UserOpts store(m_file);
        store.setImageCleanTime(4);
        for (int index : {0, 2, 89, 200, -1}) {
            store.saveUserOptsByName(UserOpts::UserOptType(index));
            store.loadUserOptsByName(UserOpts::UserOptType(index));
        }
        QCOMPARE(rawKeys(m_file), QStringList{QStringLiteral("imageCleanTime")});
        QCOMPARE(rawValue(m_file, QStringLiteral("imageCleanTime")).toInt(), 9);
        QCOMPARE(store.imageCleanTime(), 4);
    }

    void memoryOnlyPropertiesAreNeverWritten()
    {
        UserOpts store(m_file);
        QCOMPARE(store.curDetailSharpenLevel(), 50);
        QCOMPARE(store.isDetailSharpend(), true);
        QCOMPARE(store.curDetailMinInten(), 0);
        QCOMPARE(store.curDetailMaxInten(), 65535);
        QCOMPARE(store.isDetailStretch(), true);
        QCOMPARE(store.lastPassword(), QString());
        store.setLastPassword(QStringLiteral("secret"));
        store.setIsDetailStretch(false);
        const QMetaEnum meta = QMetaEnum::fromType<UserOpts::UserOptType>();
        for (int i = 0; i < meta.keyCount(); ++i)
            store.saveUserOptsByName(UserOpts::UserOptType(meta.value(i)));
        const QStringList keys = rawKeys(m_file);
        QCOMPARE(keys.size(), 86);
        for (const char* memoryOnly : {"lastPassword", "lastAuthorityId", "lastGroupId", "curDetailSharpenLevel",
                                       "isDetailSharpend", "curDetailMinInten", "curDetailMaxInten",
                                       "isDetailStretch"})
            QVERIFY2(!keys.contains(QLatin1String(memoryOnly)), memoryOnly);
        QCOMPARE(store.lastPassword(), QStringLiteral("secret"));
    }

    void groupOperationsTouchTheirKeysOnly()
    {
        UserOpts store(m_file);
        store.setMultiCapCount(3);
        store.setMultiCapFirstTimeUnit(UserOpts::Minute);
        store.saveMultiCapOpts();
        QStringList keys = rawKeys(m_file);
        keys.sort();
        QCOMPARE(keys, (QStringList{"multiCapCount", "multiCapDeltaTime", "multiCapDeltaTimeUnit",
                                    "multiCapFirstTime", "multiCapFirstTimeUnit"}));
        store.setFocusCurrentAddr(100);
        store.setFocusMin(10);
        store.setFocusMax(4000);
        store.saveFocusOpts();
        UserOpts reader(m_file);
        reader.loadFocusOpts();
        reader.loadMultiCapOpts();
        QCOMPARE(reader.focusCurrentAddr(), 100);
        QCOMPARE(reader.focusMin(), 10);
        QCOMPARE(reader.focusMax(), 4000);
        QCOMPARE(reader.multiCapCount(), 3);
        QCOMPARE(reader.multiCapFirstTimeUnit(), UserOpts::Minute);
    }

    void changeSignals()
    {
        UserOpts store(m_file);
        QSignalSpy colorMarkerVisible(&store, &UserOpts::colorMarkerVisibleChanged);
        QSignalSpy isFFCOpen(&store, &UserOpts::isFFCOpenChanged);
        QSignalSpy expTimesChanged(&store, &UserOpts::multiCapExpTimesChangedChanged);
        QSignalSpy markerCapture(&store, &UserOpts::markerCaptureChanged);
        QSignalSpy multiCapCount(&store, &UserOpts::multiCapCountChanged);
        // These three announce every write, also of the same value.
        store.setColorMarkerVisible(false);
        store.setColorMarkerVisible(false);
        store.setIsFFCOpen(false);
        store.setMultiCapExpTimesChanged(true);
        store.setMultiCapExpTimesChanged(true);
        QCOMPARE(colorMarkerVisible.count(), 2);
        QCOMPARE(isFFCOpen.count(), 1);
        QCOMPARE(expTimesChanged.count(), 2);
        // The others announce a change only.
        store.setMarkerCapture(false);
        store.setMarkerCapture(true);
        store.setMultiCapCount(2);
        store.setMultiCapCount(2);
        QCOMPARE(markerCapture.count(), 1);
        QCOMPARE(multiCapCount.count(), 1);
        // A load announces nothing.
        writeFile(m_file, "[UserOption]\ncolorMarkerVisible=true\nmultiCapCount=9\n");
        UserOpts loaded(m_file);
        QSignalSpy loadedSpy(&loaded, &UserOpts::colorMarkerVisibleChanged);
        loaded.loadUserOptsByName(UserOpts::OPT_ColorMarkerVisible);
        loaded.loadUserOptsByName(UserOpts::OPT_MultiCapCount);
        QCOMPARE(loaded.colorMarkerVisible(), true);
        QCOMPARE(loadedSpy.count(), 0);
    }

    void defaultSetWritesMissingKeysOnly()
    {
        writeFile(m_file, "[UserOption]\nbluePercent=\nlightAutoShutDownTime=8\n");
        UserOpts store(m_file);
        store.initFocusDefaults();
        QCOMPARE(rawValue(m_file, "focusCurrentAddr").toString(), QStringLiteral("10"));
        QCOMPARE(rawValue(m_file, "imageCleanTime").toString(), QStringLiteral("7"));
        QCOMPARE(rawValue(m_file, "bluePercent").toString(), QString());
        QCOMPARE(rawValue(m_file, "lightAutoShutDownTime").toString(), QStringLiteral("8"));
        store.initExtraDefaults();
        QCOMPARE(rawKeys(m_file).size(), 4);
    }

    void failedWriteIsLoggedAndMemoryKeepsTheValue()
    {
        // The folder the file belongs in is taken by a plain file: nothing can be written.
        writeFile(m_dir->filePath(QStringLiteral("Ini")), "not a folder");
        UserOpts store(m_file);
        store.setLastLoginUser(QStringLiteral("admin"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("保存设置失败")));
        store.saveUserOptsByName(UserOpts::OPT_LastLoginUser);
        QCOMPARE(store.lastLoginUser(), QStringLiteral("admin"));
    }

    void garbageFileLoadsDefaultsAndStillSaves()
    {
        writeFile(m_file, QByteArray("\x00\x01\xfe\xff[[[UserOption\nisAutoKeyboard\n=\n\xe4\xb8", 30));
        UserOpts store(m_file);
        QCOMPARE(store.isAutoKeyboard(), true);
        QCOMPARE(store.lastFocusGel(), 1500);
        store.setLastLoginUser(QStringLiteral("operator"));
        store.saveUserOptsByName(UserOpts::OPT_LastLoginUser);
        UserOpts reader(m_file);
        reader.loadUserOptsByName(UserOpts::OPT_LastLoginUser);
        QCOMPARE(reader.lastLoginUser(), QStringLiteral("operator"));
    }

    // Capture threads save and reload their keys while the GUI thread uses the store: no save
    // may be lost, and every reload sees what its own thread saved last.
    void concurrentSavesAndLoadsLoseNothing()
    {
        UserOpts store(m_file);
        const UserOpts::UserOptType threadKeys[] = {
            UserOpts::OPT_WhiteLightFilterPos, UserOpts::OPT_UV302nmFilterPos, UserOpts::OPT_R625nmFilterPos,
            UserOpts::OPT_G520nmFilterPos,     UserOpts::OPT_B470nmFilterPos,  UserOpts::OPT_IR660nmFilterPos};
        const char* propertyOf[] = {"whiteLightFilterPos", "uv302nmFilterPos", "r625nmFilterPos",
                                    "g520nmFilterPos",     "b470nmFilterPos",  "ir660nmFilterPos"};
        constexpr int kRounds = 50;
        std::atomic<int> mismatches{0};
        std::vector<std::unique_ptr<QThread>> threads;
        for (int t = 0; t < 6; ++t) {
            threads.emplace_back(QThread::create([&, t] {
                for (int round = 1; round <= kRounds; ++round) {
                    const int value = t * 1000 + round;
                    // Each thread owns one key, so what it reads back must be its own value.
                    store.setProperty(propertyOf[t], value);
                    store.saveUserOptsByName(threadKeys[t]);
                    store.loadUserOptsByName(threadKeys[t]);
                    if (store.property(propertyOf[t]).toInt() != value)
                        ++mismatches;
                }
            }));
        }
        for (auto& thread : threads)
            thread->start();
        for (int round = 0; round < kRounds; ++round) {
            store.setLastLoginUser(QString::number(round));
            store.saveUserOptsByName(UserOpts::OPT_LastLoginUser);
            store.loadUserOptsByName(UserOpts::OPT_ImageCleanTime);
            (void)store.isAutoKeyboard();
        }
        for (auto& thread : threads)
            QVERIFY(thread->wait(60000));
        QCOMPARE(mismatches.load(), 0);
        UserOpts reader(m_file);
        for (int t = 0; t < 6; ++t) {
            reader.loadUserOptsByName(threadKeys[t]);
            QCOMPARE(reader.property(propertyOf[t]).toInt(), t * 1000 + kRounds);
        }
        reader.loadUserOptsByName(UserOpts::OPT_LastLoginUser);
        QCOMPARE(reader.lastLoginUser(), QString::number(kRounds - 1));
    }

    void getInstanceIsOneObjectOnTheApplicationDirectory()
    {
        QTemporaryDir appDir;
        qputenv("TAVRILL_APP_DIR", appDir.path().toLocal8Bit());
        UserOpts* first = UserOpts::getInstance();
        QCOMPARE(UserOpts::getInstance(), first);
        QCOMPARE(QFileInfo(first->filePath()).absoluteFilePath(),
                 QFileInfo(appDir.filePath(QStringLiteral("Ini/userOption.ini"))).absoluteFilePath());
        qunsetenv("TAVRILL_APP_DIR");
    }
};

QTEST_GUILESS_MAIN(UserOptsTest)
#include "useropts_test.moc"
