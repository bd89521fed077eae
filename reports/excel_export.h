#pragma once
// Spreadsheet export shared by every "Excel" button: make a workbook, write it cell by cell, and hand
// it to the desktop's spreadsheet application.
//
// The cells are kept in an in-memory workbook. Making the export visible writes every workbook not yet
// handed over as an .xlsx file (libxlsxwriter) into a per-user folder, under a name of its own, and
// opens it with the desktop's default handler for spreadsheets. The program never saves, closes or
// reads back anything the application shows.

#include <QString>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

class Messenger;
class SpreadsheetWorkbook;

// A workbook could not be written or handed to the application. Raised where the failure goes to the
// general error display (making the export visible).
class SpreadsheetError : public std::runtime_error {
public:
    explicit SpreadsheetError(const QString& message)
        : std::runtime_error(message.toStdString()), text_(message) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

class SpreadsheetApp;

// The program's reference to the spreadsheet application and the workbooks made through it. Empty
// until an ExcelOpen attaches it. Releasing it drops the workbooks that were never made visible; those
// already handed to the application stay there.
class ExcelApp {
public:
    ExcelApp();
    ~ExcelApp();
    ExcelApp(const ExcelApp&) = delete;
    ExcelApp& operator=(const ExcelApp&) = delete;

    bool isEmpty() const { return app_ == nullptr; }
    // The workbook the last successful ExcelOpen made, if any (tests and benchmarks look inside).
    const SpreadsheetWorkbook* activeWorkbook() const;
    // Files written for this handle, in the order they were handed to the application.
    const std::vector<QString>& writtenFiles() const { return written_; }

private:
    friend class ExcelExport;
    SpreadsheetApp* app_ = nullptr;
    std::vector<std::unique_ptr<SpreadsheetWorkbook>> pending_; // made, not yet handed over
    std::unique_ptr<SpreadsheetWorkbook> active_;               // target of the writes
    bool activeHandedOver_ = false;
    std::vector<QString> written_;
};

// The desktop's spreadsheet application. The real one uses the desktop's default handler; tests put
// in one that is missing, has nowhere to keep workbooks, or only records what it was given.
class SpreadsheetApp {
public:
    virtual ~SpreadsheetApp();
    // Whether an application that opens .xlsx workbooks can be reached (attach to or start it).
    virtual bool available() = 0;
    // The folder where workbooks handed to the application are written, created when missing; empty
    // when there is none that this user can write.
    virtual QString workbookFolder() = 0;
    // Opens a written workbook file in the application; false when that could not be started.
    virtual bool open(const QString& path) = 0;

    // The handles that live as long as the program (and so as long as this object): the summary
    // reports module's, which the operation price list shares (plain writes), and the time sheet by
    // shifts module's (formatted writes).
    ExcelApp summaryReportsHandle;
    ExcelApp timeSheetByShiftsHandle;
};

// Opens workbooks with xdg-open, the desktop's default handler; they are written under
// <temp>/tabel-<user>, a folder only this user may enter.
class DesktopSpreadsheetApp : public SpreadsheetApp {
public:
    bool available() override;
    QString workbookFolder() override;
    bool open(const QString& path) override;
};

// The operations of the export, in the variant of a caller: plain writes store the value only (a text
// that looks like a number becomes a number); formatted writes also apply the text format, the column
// fit and the font weight. Every operation returns 1 on success (or nothing to do) and -1 for a failure
// already shown to the user.
class ExcelExport {
public:
    enum class Variant { Plain, Formatted };
    ExcelExport(Variant variant, Messenger& messenger, SpreadsheetApp* app);

    // Attaches the handle to the application and makes a new workbook with one sheet; a non-empty
    // fileName asks for an existing file, which cannot be edited here, and so fails. The title names
    // the written file.
    int ExcelOpen(const QString& fileName, ExcelApp& excelApp, const QString& title = {});
    // true writes every workbook made since the last time and opens it in the application; a failure
    // to do so raises SpreadsheetError. false keeps them hidden. Nothing while the handle is empty.
    int ExcelVisible(bool visible, ExcelApp& excelApp);
    int ExcelWrite(int sheet, int column, int row, const QString& text, bool asText, bool autoFit, bool bold,
                   ExcelApp& excelApp);

    Variant variant() const { return variant_; }

private:
    void handOver(SpreadsheetWorkbook& book, ExcelApp& excelApp);
    Variant variant_;
    Messenger& messenger_;
    SpreadsheetApp* app_;
};

// Plain writes on the summary reports module's handle, shared with the operation price list.
class PlainExcel {
public:
    PlainExcel(Messenger& messenger, SpreadsheetApp* app);
    int ExcelOpen(const QString& fileName, const QString& title = {});
    int ExcelVisible(bool visible);
    // asText is taken and has no effect.
    int ExcelWrite(int sheet, int column, int row, const QString& text, bool asText = false);
    ExcelApp& handle();

private:
    ExcelExport excel_;
    SpreadsheetApp* app_;
    ExcelApp none_; // stays empty when there is no application object at all
};

// Formatted writes on the time sheet by shifts module's handle.
class FormattedExcel {
public:
    FormattedExcel(Messenger& messenger, SpreadsheetApp* app);
    int ExcelOpen(const QString& fileName, const QString& title = {});
    int ExcelVisible(bool visible);
    int ExcelWrite(int sheet, int column, int row, const QString& text, bool asText, bool autoFit, bool bold);
    ExcelApp& handle();

private:
    ExcelExport excel_;
    SpreadsheetApp* app_;
    ExcelApp none_;
};

// Formatted writes on a handle the export handler creates, passes to every call and releases when
// the export ends: use ExcelExport(ExcelExport::Variant::Formatted, ...) with a local ExcelApp.

// How the spreadsheet stores a typed value that is not in a text-formatted cell: a number when it
// reads as one (sign, digits, one decimal point or comma, thousands grouped by blanks, exponent),
// otherwise the text itself.
std::optional<double> spreadsheetNumber(const QString& text);

// Width of a fitted column, in the spreadsheet's character units, for its widest text.
double fittedColumnWidth(int characters, bool bold);

// The in-memory workbook: sheets of cells, with the text format, bold face and fitted widths.
class SpreadsheetWorkbook {
public:
    struct Cell {
        QString text;        // the string stored; empty for numbers and blank cells
        double number = 0;   // the number stored when isNumber
        bool isNumber = false;
        bool isSet = false;
        bool textFormat = false; // number format "@"
        bool bold = false;
    };
    struct Column {
        double widest = 0;    // fitted width of the widest text written so far
        double fitWidth = -1; // width set by the last fit; -1 when never fitted
    };
    struct Sheet {
        QString name;
        std::vector<std::vector<Cell>> rows; // rows[row-1][column-1]
        std::vector<Column> columns;
    };

    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxColumns = 16384;
    static constexpr int kMaxText = 32767;

    SpreadsheetWorkbook(const QString& title);
    const QString& title() const { return title_; }
    int sheetCount() const { return static_cast<int>(sheets_.size()); }
    Sheet& sheet(int number) { return sheets_[static_cast<size_t>(number - 1)]; }
    const Sheet& sheet(int number) const { return sheets_[static_cast<size_t>(number - 1)]; }
    // The cell, grown into the sheet; nullptr outside the spreadsheet's rows and columns.
    Cell* cell(int sheet, int row, int column);
    const Cell* findCell(int sheet, int row, int column) const;
    bool modified = false;

    // Writes the workbook as an .xlsx file; returns the empty string or the library's error text.
    QString save(const QString& path) const;

private:
    QString title_;
    std::vector<Sheet> sheets_;
};
