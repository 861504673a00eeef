// A damaged experiment store (sound header, a page of rows overwritten) is told to the operator
// at start-up, with the file, instead of only being logged.
#include "controllertest.h"

#include "testappdir.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

class StoreFaultTest : public QObject {
    Q_OBJECT

    TestAppDir appDir;

private slots:
    void damagedStoreIsToldAtStart()
    {
        appDir.writeMachine(QStringLiteral("S60"));
        const QString path = appDir.filePath(QStringLiteral("Databases/Experiment.db"));
        QVERIFY(QDir().mkpath(appDir.filePath(QStringLiteral("Databases"))));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("PRAGMA page_size = 4096")));
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE GelExperiment(uuid TEXT UNIQUE, name TEXT UNIQUE, imageNames TEXT)")));
            QVERIFY(q.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                                          "INSERT INTO GelExperiment SELECT i, 'Gel' || i, printf('%.150c', 'x') FROM n")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("make"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(12 * 4096));
        QCOMPARE(file.write(QByteArray(4096, char(0xA5))), qint64(4096));
        file.close();

        ControllerRig rig;
        QSignalSpy errors(rig.ctrl.get(), &IC_MainControl::errorCodeChanged);
        rig.ctrl->initMachine();
        QCOMPARE(rig.ctrl->errorCode(), EnumOBJ::StoreErr);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(rig.ctrl->errorDetail().contains(QStringLiteral("实验数据库已损坏，未作改动：") + path),
                 qPrintable(rig.ctrl->errorDetail()));
        QVERIFY2(rig.ctrl->errorDetail().contains(QStringLiteral("The experiment store is damaged and left as it was: ")
                                                  + path),
                 qPrintable(rig.ctrl->errorDetail()));
    }
};

QTEST_MAIN(StoreFaultTest)
#include "storefault_test.moc"
