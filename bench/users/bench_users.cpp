// Users and audit trail. Pairs, each run in one process on the same data:
//   audit_page: one page of 100 rows and the count of the filtered rows, through the QML store
//     (ATDatabase.js in a QML engine) against the same SQL through the sqlite3 C interface, on
//     an audit trail of 1,000,000 rows (500,000 events in two languages);
//   login: a password checked through the QML store (record read, native PBKDF2 check) against
//     the bare key derivation of the same count;
//   audit_pdf: the report of 4,000 rows against a plain PDF table of the same texts, without
//     header, elision or bands.
#include "audittrailreport.h"
#include "passwordhash.h"
#include "pairsummary.h"
#include "startup.h"

#include <QCryptographicHash>
#include <QDir>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QVariant>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int kEvents = 500000;
constexpr int kHandlers = 20;

QQmlEngine* engine = nullptr;
QObject* store = nullptr;
sqlite3* peer = nullptr;
QString dir;

const char* kStoreQml = R"(
import QtQml 2.15
import "qrc:/js/ATDatabase.js" as ATJS
import "qrc:/js/UserStore.js" as UserStore
import "qrc:/js/UMDatabase.js" as UMJS
QtObject {
    function init() { ATJS.dbInit(); UserStore.ensureSeeded() }
    function page(current, start, end, handler) {
        var rows = ATJS.dbReadInfoByPage(current, 100, start, end, handler, 1);
        return rows.length * 1000000 + ATJS.dbCountByPage(start, end, handler, 1);
    }
    function login(name, password) { return UMJS.dbVerifyPassword(name, password) }
}
)";

struct Filter {
    const char* start;
    const char* end;
    const char* handler;
};
// 0 none, 1 one handler, 2 one month.
const Filter kFilters[] = {{"", "", ""}, {"", "", "user7"}, {"2030-03-01 00:00:00", "2030-03-31 23:59:59", ""}};

std::string where(const Filter& f)
{
    std::string sql = " where languageId = ?";
    if (*f.start)
        sql += " and dateTime >= ?";
    if (*f.end)
        sql += " and dateTime <= ?";
    if (*f.handler)
        sql += " and handler = ?";
    return sql;
}

int bindFilter(sqlite3_stmt* s, const Filter& f)
{
    int i = 1;
    sqlite3_bind_int(s, i++, 1);
    for (const char* v : {f.start, f.end, f.handler})
        if (*v)
            sqlite3_bind_text(s, i++, v, -1, SQLITE_STATIC);
    return i;
}

QString databaseFile(const char* name)
{
    const QByteArray hash = QCryptographicHash::hash(QByteArray(name), QCryptographicHash::Md5).toHex();
    return QDir(dir).filePath(QStringLiteral("Databases/") + QString::fromLatin1(hash) + QStringLiteral(".sqlite"));
}

bool fill()
{
    if (sqlite3_open(databaseFile("AuditTrailDB").toUtf8().constData(), &peer) != SQLITE_OK)
        return false;
    sqlite3_exec(peer, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(peer,
                       "INSERT INTO AuditTrailTable (module, content, handler, languageId, dateTime) VALUES(?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    char content[96], handler[32], time[32];
    for (int e = 0; e < kEvents; ++e) {
        // One event a minute from the start of 2030.
        const int minute = e;
        std::snprintf(time, sizeof time, "2030-%02d-%02d %02d:%02d:00", 1 + (minute / 43200) % 12, 1 + (minute / 1440) % 28,
                      (minute / 60) % 24, minute % 60);
        std::snprintf(handler, sizeof handler, "user%d", e % kHandlers);
        for (int language = 0; language < 2; ++language) {
            std::snprintf(content, sizeof content, language ? "Modify the image path: /data/images/%d" : "修改图片路径: /data/images/%d", e);
            sqlite3_bind_text(insert, 1, language ? "Setting" : "设置", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 2, content, -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, handler, -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 4, language);
            sqlite3_bind_text(insert, 5, time, -1, SQLITE_TRANSIENT);
            if (sqlite3_step(insert) != SQLITE_DONE)
                return false;
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    return sqlite3_exec(peer, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK
        && sqlite3_exec(peer, "ANALYZE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

qint64 storePage(int current, const Filter& f)
{
    QVariant result;
    QMetaObject::invokeMethod(store, "page", Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, current),
                              Q_ARG(QVariant, QString::fromUtf8(f.start)), Q_ARG(QVariant, QString::fromUtf8(f.end)),
                              Q_ARG(QVariant, QString::fromUtf8(f.handler)));
    return result.toLongLong();
}

qint64 peerPage(int current, const Filter& f)
{
    const std::string w = where(f);
    sqlite3_stmt* rows = nullptr;
    sqlite3_prepare_v2(peer, ("SELECT id, module, content, handler, dateTime FROM AuditTrailTable" + w
                              + " order by id DESC limit ? offset ?").c_str(), -1, &rows, nullptr);
    int i = bindFilter(rows, f);
    sqlite3_bind_int(rows, i++, 100);
    sqlite3_bind_int(rows, i, (current - 1) * 100);
    qint64 n = 0;
    std::string keep;
    while (sqlite3_step(rows) == SQLITE_ROW) {
        // Each row's texts are copied out, as a caller keeps them.
        for (int c = 1; c < 5; ++c)
            keep.assign(reinterpret_cast<const char*>(sqlite3_column_text(rows, c)));
        ++n;
    }
    sqlite3_finalize(rows);
    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(peer, ("select count(*) as total from AuditTrailTable" + w).c_str(), -1, &count, nullptr);
    bindFilter(count, f);
    sqlite3_step(count);
    const qint64 total = sqlite3_column_int64(count, 0);
    sqlite3_finalize(count);
    return n * 1000000 + total;
}

void audit_page_ours(benchmark::State& state)
{
    const Filter& f = kFilters[state.range(0)];
    const int current = int(state.range(1));
    if (storePage(current, f) != peerPage(current, f))
        benchpairs::abortRun("the store and sqlite3 read different pages");
    for (auto _ : state)
        benchmark::DoNotOptimize(storePage(current, f));
}
void audit_page_peer(benchmark::State& state)
{
    const Filter& f = kFilters[state.range(0)];
    const int current = int(state.range(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(peerPage(current, f));
}
BENCHMARK(audit_page_ours)->ArgNames({"filter", "page"})->ArgsProduct({{0, 1, 2}, {1, 100}})->Unit(benchmark::kMillisecond);
BENCHMARK(audit_page_peer)->ArgNames({"filter", "page"})->ArgsProduct({{0, 1, 2}, {1, 100}})->Unit(benchmark::kMillisecond);

void login_ours(benchmark::State& state)
{
    for (auto _ : state) {
        QVariant ok;
        QMetaObject::invokeMethod(store, "login", Q_RETURN_ARG(QVariant, ok), Q_ARG(QVariant, QStringLiteral("admin")),
                                  Q_ARG(QVariant, QStringLiteral("tarnu")));
        if (!ok.toBool())
            benchpairs::abortRun("the seeded password was refused");
    }
}
void login_peer(benchmark::State& state)
{
    const unsigned char salt[PasswordHash::kSaltBytes] = {1, 2, 3};
    unsigned char digest[PasswordHash::kHashBytes];
    for (auto _ : state) {
        PKCS5_PBKDF2_HMAC("tarnu", 5, salt, sizeof salt, PasswordHash::kIterations, EVP_sha256(), sizeof digest, digest);
        benchmark::DoNotOptimize(CRYPTO_memcmp(digest, salt, 3));
    }
}
BENCHMARK(login_ours)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(login_peer)->Unit(benchmark::kMillisecond)->UseRealTime();

QVariantList reportRows()
{
    QVariantList rows;
    for (int i = 0; i < 4000; ++i)
        rows << QVariantMap{{QStringLiteral("m_id"), i + 1}, {QStringLiteral("module"), QStringLiteral("设置")},
                            {QStringLiteral("content"), QStringLiteral("修改图片路径: /data/images/%1/a long folder name that needs cutting").arg(i)},
                            {QStringLiteral("handler"), QStringLiteral("user%1").arg(i % 20)},
                            {QStringLiteral("operatingTime"), QStringLiteral("2030-01-01 10:00:00")}};
    return rows;
}

void audit_pdf_ours(benchmark::State& state)
{
    const QVariantList rows = reportRows();
    int pages = 0;
    for (auto _ : state) {
        if (!AuditTrailReport::write(QDir(dir).filePath(QStringLiteral("ours.pdf")), rows, QStringLiteral("  Find total 4000 pieces of data."),
                                     QStringLiteral("admin"), &pages))
            benchpairs::abortRun("report not written");
    }
    state.counters["pages"] = pages;
}
void audit_pdf_peer(benchmark::State& state)
{
    const QVariantList rows = reportRows();
    int pages = 0;
    for (auto _ : state) {
        QPdfWriter writer(QDir(dir).filePath(QStringLiteral("peer.pdf")));
        writer.setResolution(1200);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        QPainter painter(&writer);
        QFont font(QStringLiteral("Helvetica"), 10);
        font.setFamilies({QStringLiteral("Helvetica"), QStringLiteral("WenQuanYi Micro Hei")});
        painter.setFont(font);
        int y = 1700;
        pages = 1;
        for (const QVariant& v : rows) {
            if (y + 299 >= 12886) {
                writer.newPage();
                ++pages;
                y = 1000;
            }
            const QVariantMap row = v.toMap();
            int x = 250;
            for (const char* key : {"m_id", "module", "content", "handler", "operatingTime"}) {
                painter.drawText(x, y + 300, row.value(QString::fromLatin1(key)).toString());
                x += 1700;
            }
            y += 300;
        }
    }
    state.counters["pages"] = pages;
}
BENCHMARK(audit_pdf_ours)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(audit_pdf_peer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir appDir;
    dir = appDir.path();
    qputenv("TAVRILL_APP_DIR", dir.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    registerQmlTypes();
    engine = new QQmlEngine;
    engine->setOfflineStoragePath(dir);
    QQmlComponent component(engine);
    component.setData(kStoreQml, QUrl(QStringLiteral("qrc:/bench_users.qml")));
    store = component.create();
    if (!store) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return 1;
    }
    QMetaObject::invokeMethod(store, "init");
    std::fprintf(stderr, "filling the audit trail...\n");
    if (!fill()) {
        std::fprintf(stderr, "could not fill the audit trail\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchpairs::PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    delete store;
    delete engine;
    sqlite3_close(peer);
    return 0;
}
