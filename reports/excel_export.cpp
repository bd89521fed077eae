#include "reports/excel_export.h"

#include "app/services.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cmath>
#include <unistd.h>
#include <xlsxwriter.h>

namespace {

const QString kErrorTitle = QStringLiteral("Ошибка");

// Characters of the longest line, as the spreadsheet lays them out (code points, not UTF-16 units).
int displayLength(const QString& text) {
    int longest = 0;
    int current = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == QLatin1Char('\n')) {
            longest = std::max(longest, current);
            current = 0;
        } else if (!ch.isLowSurrogate()) {
            ++current;
        }
    }
    return std::max(longest, current);
}

// A file name part made of the export's title: no separators, nothing the desktop reads specially.
QString fileNamePart(const QString& title) {
    QString out;
    for (const QChar ch : title) {
        if (ch.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(ch))
            out += QLatin1Char('_');
        else
            out += ch;
    }
    out = out.trimmed();
    while (out.startsWith(QLatin1Char('.')))
        out.remove(0, 1);
    if (out.isEmpty())
        out = QStringLiteral("Книга");
    return out.left(80);
}

// Reserves a new file "<title> <date time>[ (n)].xlsx" in the folder; an existing file is never
// reused, so two exports (of this program or another one) cannot overwrite each other.
QString reserveFile(const QString& folder, const QString& title) {
    const QString base = QDir(folder).filePath(
        fileNamePart(title) + QLatin1Char(' ') +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
    for (int n = 1; n <= 1000; ++n) {
        const QString path = n == 1 ? base + QStringLiteral(".xlsx")
                                    : base + QStringLiteral(" (%1).xlsx").arg(n);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
    }
    return {};
}

bool usableFolder(const QString& folder) {
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

} // namespace

// ---------------------------------------------------------------------------------------------------

std::optional<double> spreadsheetNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral(
        "^[+-]?(?:(?:[0-9]{1,3}(?:[ \\x{00A0}\\x{202F}][0-9]{3})+|[0-9]+)(?:[.,][0-9]*)?|[.,][0-9]+)"
        "(?:[eE][+-]?[0-9]+)?$"));
    QString t = text.trimmed();
    if (!number.match(t).hasMatch())
        return std::nullopt;
    t.remove(QLatin1Char(' '));
    t.remove(QChar(0x00A0));
    t.remove(QChar(0x202F));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double fittedColumnWidth(int characters, bool bold) {
    const double width = characters * (bold ? 1.1 : 1.0) + 1.0;
    return std::min(width, 255.0);
}

// ---------------------------------------------------------------------------------------------------

SpreadsheetWorkbook::SpreadsheetWorkbook(const QString& title) : title_(title) {
    sheets_.push_back(Sheet{QStringLiteral("Лист1"), {}, {}});
}

SpreadsheetWorkbook::Cell* SpreadsheetWorkbook::cell(int sheetNo, int row, int column) {
    if (sheetNo < 1 || sheetNo > sheetCount() || row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns)
        return nullptr;
    Sheet& s = sheet(sheetNo);
    if (s.rows.size() < static_cast<size_t>(row))
        s.rows.resize(static_cast<size_t>(row));
    auto& cells = s.rows[static_cast<size_t>(row - 1)];
    if (cells.size() < static_cast<size_t>(column))
        cells.resize(static_cast<size_t>(column));
    if (s.columns.size() < static_cast<size_t>(column))
        s.columns.resize(static_cast<size_t>(column));
    return &cells[static_cast<size_t>(column - 1)];
}

const SpreadsheetWorkbook::Cell* SpreadsheetWorkbook::findCell(int sheetNo, int row, int column) const {
    if (sheetNo < 1 || sheetNo > sheetCount() || row < 1 || column < 1)
        return nullptr;
    const Sheet& s = sheet(sheetNo);
    if (s.rows.size() < static_cast<size_t>(row))
        return nullptr;
    const auto& cells = s.rows[static_cast<size_t>(row - 1)];
    if (cells.size() < static_cast<size_t>(column) || !cells[static_cast<size_t>(column - 1)].isSet)
        return nullptr;
    return &cells[static_cast<size_t>(column - 1)];
}

QString SpreadsheetWorkbook::save(const QString& path) const {
    QByteArray tmpdir = QFile::encodeName(QFileInfo(path).absolutePath());
    lxw_workbook_options options{};
    // Rows go out in order and are flushed as they are written, so the library keeps one row at a time.
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tmpdir.data();
    lxw_workbook* wb = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!wb)
        return QStringLiteral("the workbook cannot be created");

    QString failure;
    auto check = [&failure](lxw_error rc, const char* what) {
        if (rc != LXW_NO_ERROR && failure.isEmpty())
            failure = QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromUtf8(lxw_strerror(rc)));
        return rc == LXW_NO_ERROR;
    };

    lxw_format* textFormat = workbook_add_format(wb);
    lxw_format* boldFormat = workbook_add_format(wb);
    lxw_format* boldTextFormat = workbook_add_format(wb);
    if (!textFormat || !boldFormat || !boldTextFormat) {
        failure = QStringLiteral("no memory for cell formats");
    } else {
        format_set_num_format_index(textFormat, 49); // the spreadsheet's built-in Text format, "@"
        format_set_bold(boldFormat);
        format_set_num_format_index(boldTextFormat, 49);
        format_set_bold(boldTextFormat);
    }

    for (const Sheet& s : sheets_) {
        if (!failure.isEmpty())
            break;
        lxw_worksheet* ws = workbook_add_worksheet(wb, s.name.toUtf8().constData());
        if (!ws) {
            failure = QStringLiteral("the worksheet cannot be added");
            break;
        }
        for (size_t c = 0; c < s.columns.size() && failure.isEmpty(); ++c) {
            if (s.columns[c].fitWidth >= 0)
                check(worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                           s.columns[c].fitWidth, nullptr),
                      "column width");
        }
        for (size_t r = 0; r < s.rows.size() && failure.isEmpty(); ++r) {
            const auto& cells = s.rows[r];
            for (size_t c = 0; c < cells.size(); ++c) {
                const Cell& cell = cells[c];
                if (!cell.isSet)
                    continue;
                lxw_format* format = cell.textFormat ? (cell.bold ? boldTextFormat : textFormat)
                                                     : (cell.bold ? boldFormat : nullptr);
                const auto row = static_cast<lxw_row_t>(r);
                const auto col = static_cast<lxw_col_t>(c);
                const bool ok = cell.isNumber
                                    ? check(worksheet_write_number(ws, row, col, cell.number, format), "cell")
                                    : check(worksheet_write_string(ws, row, col, cell.text.toUtf8().constData(),
                                                                   format),
                                            "cell");
                if (!ok)
                    break;
            }
        }
    }
    // Closing also frees the workbook, so it runs after a failure too.
    const lxw_error closed = workbook_close(wb);
    check(closed, "writing the file");
    return failure;
}

// ---------------------------------------------------------------------------------------------------

ExcelApp::ExcelApp() = default;
ExcelApp::~ExcelApp() = default;

const SpreadsheetWorkbook* ExcelApp::activeWorkbook() const { return active_.get(); }

SpreadsheetApp::~SpreadsheetApp() = default;

bool DesktopSpreadsheetApp::available() {
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return false;
    // A desktop without a handler for workbooks has no spreadsheet application to start.
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"),
                 QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")});
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           !query.readAllStandardOutput().trimmed().isEmpty();
}

QString DesktopSpreadsheetApp::workbookFolder() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty() || user.contains(QLatin1Char('/')))
        user = QString::number(getuid());
    const QString folder = QDir(QDir::tempPath()).filePath(QStringLiteral("tabel-") + user);
    if (!QDir().mkpath(folder))
        return {};
    // The shared temporary folder: use it only if it is ours and nobody else can look inside.
    const QFileInfo info(folder);
    if (info.isSymLink() || !info.isDir() || info.ownerId() != getuid())
        return {};
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return folder;
}

bool DesktopSpreadsheetApp::open(const QString& path) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

// ---------------------------------------------------------------------------------------------------

ExcelExport::ExcelExport(Variant variant, Messenger& messenger, SpreadsheetApp* app)
    : variant_(variant), messenger_(messenger), app_(app) {}

int ExcelExport::ExcelOpen(const QString& fileName, ExcelApp& excelApp, const QString& title) {
    const bool attached = app_ && app_->available();
    if (attached)
        excelApp.app_ = app_;
    else
        messenger_.error(QStringLiteral("Невозможно открыть Microsoft Excel."), kErrorTitle);

    // A workbook is made only where it can later be written; an existing file cannot be edited here.
    bool made = false;
    if (attached && fileName.isEmpty() && usableFolder(excelApp.app_->workbookFolder())) {
        if (excelApp.active_ && (!excelApp.activeHandedOver_ || excelApp.active_->modified))
            excelApp.pending_.push_back(std::move(excelApp.active_));
        excelApp.active_ = std::make_unique<SpreadsheetWorkbook>(title.isEmpty() ? QStringLiteral("Книга") : title);
        excelApp.activeHandedOver_ = false;
        made = true;
    }
    if (!made) {
        messenger_.error(QStringLiteral("Ошибка открытия файла Microsoft Excel."), kErrorTitle);
        return -1;
    }
    return 1;
}

void ExcelExport::handOver(SpreadsheetWorkbook& book, ExcelApp& excelApp) {
    const QString folder = excelApp.app_->workbookFolder();
    const QString path = usableFolder(folder) ? reserveFile(folder, book.title()) : QString();
    if (path.isEmpty())
        throw SpreadsheetError(QStringLiteral("Не удалось создать файл книги «%1» в папке %2")
                                   .arg(book.title(), folder));
    const QString failure = book.save(path);
    if (!failure.isEmpty()) {
        QFile::remove(path);
        throw SpreadsheetError(QStringLiteral("Не удалось записать книгу %1: %2").arg(path, failure));
    }
    book.modified = false;
    excelApp.written_.push_back(path);
    if (!excelApp.app_->open(path))
        throw SpreadsheetError(
            QStringLiteral("Не удалось открыть книгу %1 в табличном редакторе: откройте её вручную.").arg(path));
}

int ExcelExport::ExcelVisible(bool visible, ExcelApp& excelApp) {
    if (excelApp.isEmpty() || !visible)
        return 1;
    // The workbooks go over oldest first; one that fails to be written stays for the next try.
    while (!excelApp.pending_.empty()) {
        std::unique_ptr<SpreadsheetWorkbook> book = std::move(excelApp.pending_.front());
        excelApp.pending_.erase(excelApp.pending_.begin());
        try {
            handOver(*book, excelApp);
        } catch (...) {
            if (book->modified)
                excelApp.pending_.insert(excelApp.pending_.begin(), std::move(book));
            throw;
        }
    }
    if (excelApp.active_ && (!excelApp.activeHandedOver_ || excelApp.active_->modified)) {
        try {
            handOver(*excelApp.active_, excelApp);
        } catch (...) {
            excelApp.activeHandedOver_ = !excelApp.active_->modified;
            throw;
        }
        excelApp.activeHandedOver_ = true;
    }
    return 1;
}

int ExcelExport::ExcelWrite(int sheet, int column, int row, const QString& text, bool asText, bool autoFit,
                            bool bold, ExcelApp& excelApp) {
    if (text.isEmpty())
        return 1;
    const QString where =
        QStringLiteral("Ошибка при записи: лист %1, столбец %2, строка %3").arg(sheet).arg(column).arg(row);
    SpreadsheetWorkbook* book = excelApp.isEmpty() ? nullptr : excelApp.active_.get();
    if (!book || sheet < 1 || sheet > book->sheetCount()) {
        messenger_.error(where, QStringLiteral("Ошибочный номер листа Microsoft Excel"));
        return -1;
    }
    SpreadsheetWorkbook::Cell* cell = book->cell(sheet, row, column);
    if (!cell || text.size() > SpreadsheetWorkbook::kMaxText) {
        messenger_.error(where, QStringLiteral("Ошибка Microsoft Excel"));
        return -1;
    }
    const bool formatted = variant_ == Variant::Formatted;
    if (formatted && asText)
        cell->textFormat = true;
    // A text-formatted cell keeps the value as typed; any other converts a number-looking value.
    const std::optional<double> number = cell->textFormat ? std::nullopt : spreadsheetNumber(text);
    cell->isSet = true;
    cell->isNumber = number.has_value();
    cell->number = number.value_or(0);
    cell->text = number ? QString() : text;
    if (formatted)
        cell->bold = bold;
    book->modified = true;

    SpreadsheetWorkbook::Column& col = book->sheet(sheet).columns[static_cast<size_t>(column - 1)];
    col.widest = std::max(col.widest, fittedColumnWidth(displayLength(text), cell->bold));
    if (formatted && autoFit)
        col.fitWidth = col.widest;
    return 1;
}

// ---------------------------------------------------------------------------------------------------

PlainExcel::PlainExcel(Messenger& messenger, SpreadsheetApp* app)
    : excel_(ExcelExport::Variant::Plain, messenger, app), app_(app) {}

ExcelApp& PlainExcel::handle() { return app_ ? app_->summaryReportsHandle : none_; }

int PlainExcel::ExcelOpen(const QString& fileName, const QString& title) {
    return excel_.ExcelOpen(fileName, handle(), title);
}

int PlainExcel::ExcelVisible(bool visible) { return excel_.ExcelVisible(visible, handle()); }

int PlainExcel::ExcelWrite(int sheet, int column, int row, const QString& text, bool asText) {
    return excel_.ExcelWrite(sheet, column, row, text, asText, false, false, handle());
}

FormattedExcel::FormattedExcel(Messenger& messenger, SpreadsheetApp* app)
    : excel_(ExcelExport::Variant::Formatted, messenger, app), app_(app) {}

ExcelApp& FormattedExcel::handle() { return app_ ? app_->timeSheetByShiftsHandle : none_; }

int FormattedExcel::ExcelOpen(const QString& fileName, const QString& title) {
    return excel_.ExcelOpen(fileName, handle(), title);
}

int FormattedExcel::ExcelVisible(bool visible) { return excel_.ExcelVisible(visible, handle()); }

int FormattedExcel::ExcelWrite(int sheet, int column, int row, const QString& text, bool asText, bool autoFit,
                               bool bold) {
    return excel_.ExcelWrite(sheet, column, row, text, asText, autoFit, bold, handle());
}
