#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A run of the real tessel-cli (or a copy of it) as a separate process.
struct CliRun {
    int code = -1; // -1 when it did not finish in time or crashed
    QString out;
    QString err;
};

inline CliRun Cli(const QStringList& arguments, const QString& program = QStringLiteral(TESSEL_CLI),
                  int timeoutMs = 300000) {
    QProcess process;
    process.start(program, arguments);
    CliRun run;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.code = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// qpdf's structural check of a PDF passes.
inline bool QpdfChecks(const QString& pdf) {
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
    return qpdf.waitForFinished(60000) && qpdf.exitStatus() == QProcess::NormalExit &&
           qpdf.exitCode() == 0;
}
