#pragma once

#include "clirun.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A demo shop made by the real program for each test, which the test may
// change freely, and tessel-cli run against it.
class DemoShopTest : public ::testing::Test {
protected:
    void SetUp() override {
        shop = QDir(temp.path()).filePath(QStringLiteral("데모"));
        const CliRun made = Cli({QStringLiteral("demo-shop"), shop});
        ASSERT_EQ(made.code, 0) << made.err.toStdString();
    }
    CliRun Shop(QStringList arguments) const {
        arguments.prepend(shop);
        arguments.prepend(QStringLiteral("--home"));
        return Cli(arguments);
    }
    QTemporaryDir temp;
    QString shop;
};
