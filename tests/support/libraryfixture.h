#pragma once
// A prepared image library: experiments with their TIFF pictures under <appDir>/Images/<date>/
// <name>/ and their rows in the mode's experiment table, as the captures leave them.

#include <QString>
#include <QStringList>
#include <opencv2/core.hpp>

struct PreparedExperiment {
    QString uuid;
    QString folder; // ends with "/"
    QStringList files; // full paths, in name order
};

// A 16-bit grey picture: a gradient with a bright band, different for each seed.
cv::Mat libraryPicture(int width, int height, int seed);

// count pictures "img_<i>.tif" and the row (binning, exposure, gain one entry per picture,
// "i*i", 10 * (i + 1), i + 1; the Western-blot row keeps one binning "4*4"). expMode: the
// EnumOBJ::ExpMode value.
PreparedExperiment addExperiment(int expMode, const QString& date, const QString& name, int count, int width = 64,
                                 int height = 48, const QString& userName = QStringLiteral("admin"));
