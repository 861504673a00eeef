// The report document: the template's bookmarks filled, the picture embedded as PNG, a .docx
// package written; the failure path when the template is missing.
#include <gtest/gtest.h>

#include "apppaths.h"
#include "docxdocument.h"
#include "enumobj.h"
#include "exportwps.h"
#include "filesflow.h"
#include "flowcontext.h"
#include "imagesaver.h"
#include "libraryfixture.h"
#include "logcapture.h"
#include "testappdir.h"
#include "useropts.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

#include <opencv2/imgcodecs.hpp>

#include <memory>
#include <zip.h>

namespace {

const QString kTemplate = QStringLiteral(TAVRILL_REPORT_TEMPLATE);

// Writes parts as a zip package (a template variant for a case).
bool writePackage(const QString& path, const QMap<QString, QByteArray>& parts)
{
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive)
        return false;
    for (auto it = parts.constBegin(); it != parts.constEnd(); ++it) {
        zip_source_t* source = zip_source_buffer(archive, it.value().constData(), zip_uint64_t(it.value().size()), 0);
        if (zip_file_add(archive, it.key().toUtf8().constData(), source, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

struct Rig {
    Rig()
        : opts(ini.filePath("user.ini"))
    {
        opts.setMainTitle("Gel documentation");
        opts.setSubTitle("Lab 3 — 凝胶成像");
        opts.saveUserOptsByName(UserOpts::OPT_MainTitle);
        opts.saveUserOptsByName(UserOpts::OPT_SubTitle);
        FlowContext::Devices devices;
        devices.userOpts = &opts;
        ctx = std::make_unique<FlowContext>(devices);
        flow = std::make_unique<FilesFlow>(*ctx);
        QObject::connect(flow.get(), &FilesFlow::exportFinished,
                         [this](bool ok, const QString& document, const QString& reason) {
                             ++finished;
                             lastOk = ok;
                             lastDocument = document;
                             lastReason = reason;
                         });
        QObject::connect(ctx.get(), &FlowContext::errorCodeChanged, [this] { ++errors; });
        QDir().mkpath(AppPaths::appDir() + "/document");
        flow->setReportTemplate(templateFile);
    }
    void installTemplate(const QString& from = kTemplate)
    {
        QFile::remove(templateFile);
        ASSERT_TRUE(QFile::copy(from, templateFile));
    }
    // Writes the picture the report embeds and runs one report to target.
    QString report(const QString& target)
    {
        const QString picture = FilesFlow::reportPicturePath();
        writeTiff(picture, libraryPicture(120, 80, 3));
        const int before = finished;
        flow->exportReport(target, "operator 1", picture);
        EXPECT_TRUE(waitFor([&] { return finished == before + 1; }, 10000));
        return picture;
    }

    QTemporaryDir ini;
    QTemporaryDir out;
    UserOpts opts;
    std::unique_ptr<FlowContext> ctx;
    std::unique_ptr<FilesFlow> flow;
    // The rig's own copy: the one beside the program is shared by the tests running at once.
    const QString templateFile = AppPaths::appDir() + "/document/export.dotx";
    int finished = 0;
    int errors = 0;
    bool lastOk = false;
    QString lastDocument;
    QString lastReason;
};

} // namespace

TEST(Report, BookmarksHoldTheTextsAndThePictureIsEmbeddedInADocument)
{
    Rig rig;
    rig.installTemplate();
    const QString target = rig.out.filePath("report 1.docx");
    const QString picture = rig.report(QUrl::fromLocalFile(target).toString());
    EXPECT_FALSE(QFileInfo::exists(picture));
    EXPECT_EQ(rig.errors, 0);

    DocxDocument document;
    ASSERT_TRUE(document.open(target)) << document.errorString().toStdString();
    const QMap<QString, QByteArray> parts = document.parts();
    const QString body = QString::fromUtf8(parts.value("word/document.xml"));
    for (const QString& text : {QStringLiteral("Gel documentation"), QStringLiteral("Lab 3 — 凝胶成像"),
                                QStringLiteral("User:"), QStringLiteral("operator 1"), QStringLiteral("ReportDate:"),
                                QDate::currentDate().toString("yyyy-MM-dd")})
        EXPECT_TRUE(body.contains(">" + text + "<")) << text.toStdString();
    // Each text sits inside its bookmark, in the template's order.
    EXPECT_LT(body.indexOf("MainTitle"), body.indexOf("Gel documentation"));
    EXPECT_LT(body.indexOf("Gel documentation"), body.indexOf("w:name=\"SubTitle\""));
    EXPECT_TRUE(body.contains("r:embed=\"rIdPicture1\""));
    EXPECT_TRUE(QString::fromUtf8(parts.value("word/_rels/document.xml.rels")).contains("media/picture1.png"));
    const QString types = QString::fromUtf8(parts.value("[Content_Types].xml"));
    EXPECT_TRUE(types.contains("wordprocessingml.document.main+xml"));
    EXPECT_FALSE(types.contains("template.main"));
    EXPECT_TRUE(types.contains("image/png"));

    const QByteArray png = parts.value("word/media/picture1.png");
    const cv::Mat embedded = cv::imdecode(std::vector<uchar>(png.begin(), png.end()), cv::IMREAD_UNCHANGED);
    ASSERT_FALSE(embedded.empty());
    EXPECT_EQ(embedded.cols, 120);
    EXPECT_EQ(embedded.rows, 80);
    EXPECT_EQ(cv::norm(embedded, libraryPicture(120, 80, 3), cv::NORM_INF), 0.0);
}

TEST(Report, AMissingBookmarkIsLoggedOnceAndTheRestFilled)
{
    Rig rig;
    LogCapture log;
    DocxDocument source;
    ASSERT_TRUE(source.open(kTemplate));
    QMap<QString, QByteArray> parts = source.parts();
    QByteArray body = parts.value("word/document.xml");
    body.replace("<w:bookmarkStart w:id=\"1\" w:name=\"SubTitle\"/><w:bookmarkEnd w:id=\"1\"/>", "");
    ASSERT_FALSE(body.contains("SubTitle"));
    parts.insert("word/document.xml", body);
    const QString variant = rig.out.filePath("variant.dotx");
    ASSERT_TRUE(writePackage(variant, parts));
    rig.installTemplate(variant);

    const QString target = rig.out.filePath("report 2.docx");
    rig.report(target);
    EXPECT_EQ(log.lines().filter("no mark ").size(), 1);
    EXPECT_TRUE(log.contains("no mark SubTitle"));
    DocxDocument document;
    ASSERT_TRUE(document.open(target));
    const QString text = QString::fromUtf8(document.parts().value("word/document.xml"));
    EXPECT_TRUE(text.contains(">Gel documentation<") && text.contains(">operator 1<"));
    EXPECT_FALSE(text.contains("凝胶成像"));
}

TEST(Report, AMissingBrokenOrUnwritableReportSaysWhyAndIsNoDeviceError)
{
    Rig rig;
    struct Case {
        const char* name;
        const char* templateContent; // nullptr: no template; "": the real one
        QString target;
        QString reason;
    };
    const Case cases[] = {
        {"missing template", nullptr, rig.out.filePath("missing.docx"),
         "The report template is missing: " + rig.templateFile},
        {"broken template", "not a package", rig.out.filePath("broken.docx"),
         "The report template cannot be read: " + rig.templateFile},
        {"unwritable target", "", rig.out.filePath("no such folder/report"),
         "The report could not be written: " + rig.out.filePath("no such folder/report.docx")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(rig.templateFile);
        if (c.templateContent && *c.templateContent) {
            QFile file(rig.templateFile);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.templateContent);
        } else if (c.templateContent) {
            rig.installTemplate();
        }
        const int errors = rig.errors;
        const QString picture = rig.report(c.target);
        EXPECT_FALSE(rig.lastOk);
        EXPECT_EQ(rig.lastReason, c.reason);
        EXPECT_EQ(rig.ctx->errorCode(), EnumOBJ::NoErr);
        EXPECT_EQ(rig.errors, errors);
        EXPECT_FALSE(QFileInfo::exists(picture));
        EXPECT_FALSE(QFileInfo::exists(c.target));
        EXPECT_FALSE(QFileInfo::exists(ExportWps::documentPath(c.target)));
    }
}

// The template comes from beside the program, not from the application folder (which the
// tests point elsewhere).
TEST(Report, TheDefaultTemplateIsBesideTheProgram)
{
    EXPECT_EQ(ExportWps::templatePath(), QCoreApplication::applicationDirPath() + "/document/export.dotx");
    Rig rig;
    EXPECT_NE(QFileInfo(ExportWps::templatePath()).absolutePath(), QFileInfo(rig.templateFile).absolutePath());
    rig.flow->setReportTemplate(QString());
    QFile::remove(rig.templateFile);
    const QString target = rig.out.filePath("beside.docx");
    rig.report(target);
    EXPECT_TRUE(rig.lastOk) << rig.lastReason.toStdString();
    EXPECT_EQ(rig.lastDocument, target);
    EXPECT_GT(QFileInfo(target).size(), 0);
}

TEST(Report, PicturesOfTwoReportsInOneSecondDifferAndTheDocumentIsAlwaysDocx)
{
    const QString a = FilesFlow::reportPicturePath();
    const QString b = FilesFlow::reportPicturePath();
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.endsWith("_ForWPS.tif"));
    EXPECT_TRUE(QFileInfo(a).fileName().startsWith(QDateTime::currentDateTime().toString("yyyyMMdd")));

    struct Case {
        QString chosen;
        QString written;
    };
    const Case cases[] = {
        {"file:///tmp/r%20a.docx", "/tmp/r a.docx"},
        {"/tmp/r.DOCX", "/tmp/r.DOCX"},
        {"/tmp/r.doc", "/tmp/r.doc.docx"},
        {"/tmp/r", "/tmp/r.docx"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExportWps::documentPath(c.chosen), c.written) << c.chosen.toStdString();
}
