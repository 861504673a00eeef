#include "exportwpsthread.h"

#include "exportwps.h"
#include "useropts.h"

#include <QDate>

ExportWPSThread::ExportWPSThread(UserOpts* userOpt, QObject* parent)
    : QThread(parent)
    , userOpt(userOpt)
    , m_templateFile(ExportWps::templatePath())
{
}

ExportWPSThread::~ExportWPSThread()
{
    wait();
}

void ExportWPSThread::setExportInfo(const QString& target, const QString& userName, const QString& picture)
{
    imageSaveFileName = target;
    curUserName = userName;
    picturePath = picture;
}

void ExportWPSThread::run()
{
    ExportWps wps;
    if (!wps.openTemplate(m_templateFile)) {
        emit reportFailed(wps.errorText());
        return;
    }
    QString mainTitle, subTitle;
    if (userOpt) {
        userOpt->loadUserOptsByName(UserOpts::OPT_MainTitle);
        userOpt->loadUserOptsByName(UserOpts::OPT_SubTitle);
        mainTitle = userOpt->mainTitle();
        subTitle = userOpt->subTitle();
    }
    const QString date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    wps.setBookmarkText(QStringLiteral("MainTitle"), mainTitle);
    wps.setBookmarkText(QStringLiteral("SubTitle"), subTitle);
    wps.setBookmarkText(QStringLiteral("UserLabel"), tr("User:"));
    wps.setBookmarkText(QStringLiteral("User"), curUserName);
    wps.setBookmarkText(QStringLiteral("ReportDateLabel"), tr("ReportDate:"));
    wps.setBookmarkText(QStringLiteral("ReportDate"), date);
    wps.insertPicture(QStringLiteral("Image"), picturePath);
    // The operator must not take an unwritten report as written.
    if (!wps.saveAndClose(imageSaveFileName))
        emit reportFailed(wps.errorText());
}
