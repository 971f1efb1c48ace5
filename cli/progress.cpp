#include "progress.h"

#include "commandline.h"

#include <algorithm>
#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

int TerminalColumns() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 10)
        return size.ws_col;
    return 80;
}

// Hangul, CJK and full-width forms take two columns of a terminal.
int Columns(QChar c) {
    const char16_t u = c.unicode();
    const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) ||
                      (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) ||
                      (u >= 0xFF00 && u <= 0xFF60) || (u >= 0xFFE0 && u <= 0xFFE6);
    return wide ? 2 : 1;
}

QString FitColumns(const QString& text, int columns) {
    int used = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        used += Columns(text.at(i));
        if (used > columns)
            return text.left(i);
    }
    return text;
}

} // namespace

CliProgress::CliProgress(bool quiet) : m_terminal(isatty(STDERR_FILENO) != 0), m_quiet(quiet) {
    // --quiet: nothing at all, not even the bar.
    if (Quiet()) {
        m_terminal = false;
        m_quiet = true;
    }
}

void CliProgress::Begin(const QString& text, int range) {
    m_title = text;
    m_detail.clear();
    m_range = range;
    m_position = 0;
    m_active = true;
    if (m_terminal)
        Draw();
    else if (!m_quiet)
        PrintNote(QStringLiteral("%1 (%2)").arg(text).arg(range));
}

void CliProgress::Step(int position) {
    m_position = position;
    if (m_terminal && m_active)
        Draw();
}

void CliProgress::Detail(const QString& text) {
    m_detail = text;
    if (m_terminal && m_active)
        Draw();
    else if (!m_quiet)
        PrintNote(QStringLiteral("  %1").arg(text));
}

void CliProgress::End() {
    if (m_terminal && m_active)
        std::fprintf(stderr, "\r\033[K");
    m_active = false;
}

void CliProgress::Draw() {
    constexpr int kWidth = 24;
    const int filled =
        m_range > 0 ? std::min(kWidth, kWidth * std::max(0, m_position) / m_range) : 0;
    const QString bar =
        QString(filled, QLatin1Char('#')) + QString(kWidth - filled, QLatin1Char('-'));
    QString line = QStringLiteral("%1 [%2] %3/%4").arg(m_title, bar).arg(m_position).arg(m_range);
    if (!m_detail.isEmpty())
        line += QStringLiteral("  ") + m_detail;
    // Kept to one screen line so that the carriage return redraws it.
    line = FitColumns(line, TerminalColumns() - 1);
    std::fprintf(stderr, "\r\033[K%s", line.toUtf8().constData());
    std::fflush(stderr);
}
