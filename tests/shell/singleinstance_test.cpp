// The named token behind the single-instance check.
#include "singleinstance.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

TEST(SingleInstance, FirstTakerHoldsTheNameForTheProcessLife)
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    EXPECT_TRUE(SingleInstance::acquire(QStringLiteral("tokenA")));
    EXPECT_FALSE(SingleInstance::acquire(QStringLiteral("tokenA")));
    EXPECT_FALSE(SingleInstance::acquire(QStringLiteral("tokenA")));
    EXPECT_TRUE(SingleInstance::acquire(QStringLiteral("tokenB")));
    EXPECT_TRUE(QFileInfo::exists(runtime.filePath(QStringLiteral("tokenA"))));
}

TEST(SingleInstance, LockFileFolder)
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    EXPECT_EQ(SingleInstance::lockFilePath(QStringLiteral("forCheckOnly")),
              QDir(runtime.path()).filePath(QStringLiteral("forCheckOnly")));
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SingleInstance::lockFilePath(QStringLiteral("forCheckOnly")),
              QDir(QDir::tempPath()).filePath(QStringLiteral("forCheckOnly")));
    qputenv("XDG_RUNTIME_DIR", runtime.filePath(QStringLiteral("gone")).toLocal8Bit());
    EXPECT_EQ(SingleInstance::lockFilePath(QStringLiteral("forCheckOnly")),
              QDir(QDir::tempPath()).filePath(QStringLiteral("forCheckOnly")));
}
