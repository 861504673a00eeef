#include "libraryfixture.h"

#include "apppaths.h"
#include "enumobj.h"
#include "experimentrecord.h"
#include "gelexperimentdb.h"
#include "imagesaver.h"
#include "multexperimentdb.h"
#include "westernblotexperimentdb.h"

#include <QDateTime>
#include <QDir>

cv::Mat libraryPicture(int width, int height, int seed)
{
    cv::Mat picture(height, width, CV_16UC1);
    for (int y = 0; y < height; ++y) {
        auto* row = picture.ptr<uint16_t>(y);
        for (int x = 0; x < width; ++x)
            row[x] = uint16_t((x * 40000 / std::max(1, width - 1) + seed * 997) % 50000 + 10000);
    }
    const int band = (seed * 7) % std::max(1, height / 2);
    picture.rowRange(band, std::min(height, band + height / 8 + 1)).setTo(60000);
    return picture;
}

namespace {

template <class Table, class Record>
bool insertRow(Table* table, Record& record)
{
    return table->insertExperiment(&record);
}

} // namespace

PreparedExperiment addExperiment(int expMode, const QString& date, const QString& name, int count, int width,
                                 int height, const QString& userName)
{
    PreparedExperiment prepared;
    prepared.folder = AppPaths::appDir() + QStringLiteral("/Images/") + date + QLatin1Char('/') + name + QLatin1Char('/');
    QDir().mkpath(prepared.folder);
    QString binning, exposure, gain, names;
    for (int i = 0; i < count; ++i) {
        const QString file = QStringLiteral("img_%1.tif").arg(i);
        writeTiff(prepared.folder + file, libraryPicture(width, height, i + name.size()));
        prepared.files.append(prepared.folder + file);
        binning += QStringLiteral("%1*%1,").arg(i + 1);
        exposure += QString::number(10 * (i + 1)) + QLatin1Char(',');
        gain += QString::number(i + 1) + QLatin1Char(',');
        names += file + QLatin1Char(',');
    }
    auto fill = [&](ExperimentRecord& record) {
        record.userName = userName;
        record.expType = expMode;
        record.name = name;
        record.date = date;
        // Each experiment a second after the one before: the day's list is newest first.
        static int made = 0;
        record.dateTime = QDateTime(QDate::fromString(date, QStringLiteral("yyyy-MM-dd")), QTime(8, 0).addSecs(++made));
        record.imageSavePath = prepared.folder;
        record.binning = expMode == EnumOBJ::WB ? QStringLiteral("4*4,") : binning;
        record.exposureTime = exposure;
        record.gain = gain;
        record.imageNames = names;
        prepared.uuid = record.uuid.toString();
    };
    if (expMode == EnumOBJ::Gel) {
        GelExperimentRecord record;
        fill(record);
        insertRow(GelExperimentDB::getInstance(), record);
    } else if (expMode == EnumOBJ::WB) {
        WesternBlotExperimentRecord record;
        fill(record);
        insertRow(WesternBlotExperimentDB::getInstance(), record);
    } else {
        MultExperimentRecord record;
        fill(record);
        insertRow(MultExperimentDB::getInstance(), record);
    }
    return prepared;
}
