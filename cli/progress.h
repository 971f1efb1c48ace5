#pragma once

#include "records/progresssink.h"

#include <QString>

// Progress on standard error. On a terminal one line is redrawn as a bar
// with the current detail; otherwise every step and detail is a line of its
// own, so that a log of the run can be read afterwards.
class CliProgress : public ProgressSink {
public:
    // quiet: print nothing unless on a terminal (for reads that are only
    // worth watching when they are slow).
    explicit CliProgress(bool quiet = false);

    void Begin(const QString& text, int range) override;
    void Step(int position) override;
    void Detail(const QString& text) override;
    void End() override;

private:
    void Draw();

    bool m_terminal;
    bool m_quiet;
    bool m_active = false;
    QString m_title;
    QString m_detail;
    int m_range = 0;
    int m_position = 0;
};
