// Spreadsheet export of 50,000 rows × 6 columns: through the export component (plain and formatted
// writes, then the hand-over that writes the .xlsx), against libxlsxwriter writing the same cells
// directly. Prints the median of several runs and the peak resident memory.
#include "app/services.h"
#include "reports/excel_export.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xlsxwriter.h>

namespace {

constexpr int kRows = 50000;
constexpr int kColumns = 6;
constexpr int kRuns = 5;

class Folder : public SpreadsheetApp {
public:
    QTemporaryDir dir;
    QString last;
    bool available() override { return true; }
    QString workbookFolder() override { return dir.path(); }
    bool open(const QString& path) override {
        last = path;
        return true;
    }
};

class CountingMessenger : public Messenger {
public:
    int errors = 0;
    void error(const QString&, const QString&) override { ++errors; }
    bool question(const QString&, const QString&) override { return false; }
    void information(const QString&, const QString&) override {}
};

// The cells of one row, as an export handler makes them: texts, a code kept as typed, numbers as text.
QString cellText(int row, int column) {
    switch (column) {
    case 1: return QString::number(row);
    case 2: return QStringLiteral("Иванов Иван Иванович %1").arg(row % 997);
    case 3: return QStringLiteral("%1").arg(row % 1000, 3, 10, QLatin1Char('0')); // табельный номер
    case 4: return QStringLiteral("ВК-%1/2").arg(row % 211);
    case 5: return QStringLiteral("%1,%2").arg(row % 5000).arg(row % 100, 2, 10, QLatin1Char('0'));
    default: return QStringLiteral("Готовая продукция");
    }
}

double throughComponent(ExcelExport::Variant variant, QString& file) {
    Folder app;
    CountingMessenger messenger;
    ExcelExport excel(variant, messenger, &app);
    ExcelApp handle;
    QElapsedTimer t;
    t.start();
    excel.ExcelOpen(QString(), handle, QStringLiteral("bench"));
    for (int c = 1; c <= kColumns; ++c)
        excel.ExcelWrite(1, c, 1, QStringLiteral("Столбец %1").arg(c), false, true, true, handle);
    for (int r = 1; r <= kRows; ++r)
        for (int c = 1; c <= kColumns; ++c)
            excel.ExcelWrite(1, c, r + 1, cellText(r, c), c == 3, true, false, handle);
    excel.ExcelVisible(true, handle);
    const double ms = t.nsecsElapsed() / 1e6;
    if (messenger.errors)
        std::fprintf(stderr, "%d errors\n", messenger.errors);
    file = QStringLiteral("%1 (%2 bytes)").arg(QFileInfo(app.last).fileName()).arg(QFileInfo(app.last).size());
    return ms;
}

double direct(bool constantMemory) {
    QTemporaryDir dir;
    const QByteArray path = QDir(dir.path()).filePath(QStringLiteral("direct.xlsx")).toUtf8();
    QByteArray tmp = dir.path().toUtf8();
    QElapsedTimer t;
    t.start();
    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    options.tmpdir = tmp.data();
    lxw_workbook* wb = workbook_new_opt(path.constData(), &options);
    lxw_worksheet* ws = workbook_add_worksheet(wb, "Лист1");
    lxw_format* bold = workbook_add_format(wb);
    format_set_bold(bold);
    lxw_format* text = workbook_add_format(wb);
    format_set_num_format_index(text, 49);
    int failures = 0;
    for (int c = 0; c < kColumns; ++c)
        failures += worksheet_set_column(ws, c, c, 20, nullptr) != LXW_NO_ERROR;
    for (int c = 0; c < kColumns; ++c)
        failures += worksheet_write_string(ws, 0, c, QStringLiteral("Столбец %1").arg(c + 1).toUtf8().constData(),
                                           bold) != LXW_NO_ERROR;
    for (int r = 1; r <= kRows; ++r) {
        for (int c = 1; c <= kColumns; ++c) {
            const QString s = cellText(r, c);
            lxw_error rc;
            if (c == 1)
                rc = worksheet_write_number(ws, r, c - 1, r, nullptr);
            else if (c == 5)
                rc = worksheet_write_number(ws, r, c - 1, QString(s).replace(',', '.').toDouble(), nullptr);
            else
                rc = worksheet_write_string(ws, r, c - 1, s.toUtf8().constData(), c == 3 ? text : nullptr);
            failures += rc != LXW_NO_ERROR;
        }
    }
    failures += workbook_close(wb) != LXW_NO_ERROR;
    const double ms = t.nsecsElapsed() / 1e6;
    if (failures)
        std::fprintf(stderr, "%d libxlsxwriter failures\n", failures);
    return ms;
}

double median(const std::function<double()>& run) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i)
        times.push_back(run());
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Runs one measurement in a child process, so each figure comes with that run's own peak memory.
void measure(const char* label, const std::function<double(QString&)>& run) {
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        QString file;
        const double ms = median([&] { return run(file); });
        std::printf("%-42s %8.1f ms", label, ms);
        if (!file.isEmpty())
            std::printf("   %s", qPrintable(file));
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    std::printf("   peak RSS %ld kB\n", usage.ru_maxrss);
}

} // namespace

int main() {
    std::printf("%d rows x %d columns, median of %d runs\n", kRows, kColumns, kRuns);
    measure("libxlsxwriter directly, constant memory:", [](QString&) { return direct(true); });
    measure("libxlsxwriter directly, in memory:", [](QString&) { return direct(false); });
    measure("component, plain writes:", [](QString& f) { return throughComponent(ExcelExport::Variant::Plain, f); });
    measure("component, formatted writes (fit, text):",
            [](QString& f) { return throughComponent(ExcelExport::Variant::Formatted, f); });
    return 0;
}
