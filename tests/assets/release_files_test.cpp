// SPDX-License-Identifier: GPL-3.0-or-later
#include "orvane_version.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

QString sourceFile(const char* path)
{
    QFile file(qEnvironmentVariable("ORVANE_SOURCE_DIR") + QLatin1Char('/') + QLatin1String(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return QString::fromUtf8(file.readAll());
}

// The release named in the files a user or a software centre reads is the one being built, and
// they all give the same licence.
TEST(ReleaseFiles, NameTheBuiltVersionAndTheLicence)
{
    const QString version = QStringLiteral(ORVANE_VERSION);
    const QString metainfo = sourceFile("assets/metainfo/org.orvane.Orvane.metainfo.xml");
    const QRegularExpressionMatch newest =
        QRegularExpression(QStringLiteral("<release version=\"([^\"]+)\"")).match(metainfo);
    ASSERT_TRUE(newest.hasMatch());
    EXPECT_EQ(newest.captured(1), version) << "the newest release of the software-centre entry";
    EXPECT_TRUE(metainfo.contains(QStringLiteral("<project_license>GPL-3.0-or-later</project_license>")));

    const QString changelog = sourceFile("CHANGELOG.md");
    const QRegularExpressionMatch section =
        QRegularExpression(QStringLiteral("^## (\\S+)"), QRegularExpression::MultilineOption)
            .match(changelog);
    ASSERT_TRUE(section.hasMatch());
    EXPECT_EQ(section.captured(1), version) << "the newest section of CHANGELOG.md";

    EXPECT_TRUE(sourceFile("LICENSE").contains(QStringLiteral("GNU GENERAL PUBLIC LICENSE")));
    EXPECT_TRUE(sourceFile("LICENSE").contains(QStringLiteral("Version 3, 29 June 2007")));
    EXPECT_TRUE(sourceFile("assets/debian/copyright").contains(QStringLiteral("License: GPL-3.0+")));
    EXPECT_TRUE(sourceFile("README.md").contains(QStringLiteral("orvane_%1_amd64.deb").arg(version)))
        << "the package the README names";
}

}  // namespace
