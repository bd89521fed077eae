// The spreadsheet export component: workbooks read back from the written files, the messages and
// results of its failures, and the files it leaves.
#include "reports/excel_export.h"
#include "tests/reports/xlsx_reader.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// libxlsxwriter stores a width w as the pixel-rounded (7w + 5) / 7.
double storedWidth(double width) { return (std::floor(width * 7 + 0.5) + 5) / 7; }

class ExcelExportTest : public ::testing::Test {
protected:
    FakeSpreadsheetApp app;
    ScriptedMessenger messenger;
    ExcelExport formatted{ExcelExport::Variant::Formatted, messenger, &app};
    ExcelExport plain{ExcelExport::Variant::Plain, messenger, &app};
    ExcelApp handle;

    // The last workbook handed to the application, read back.
    XlsxFile lastOpened() {
        EXPECT_FALSE(app.opened.isEmpty());
        return XlsxFile(app.opened.isEmpty() ? QString() : app.opened.back());
    }
};

TEST_F(ExcelExportTest, FormattedWritesKeepTextBoldAndFitColumns) {
    ASSERT_EQ(formatted.ExcelOpen(QString(), handle, QStringLiteral("Табель")), 1);
    // Arguments: sheet, column, row, text, asText, autoFit, bold.
    EXPECT_EQ(formatted.ExcelWrite(1, 1, 1, "Фамилия, имя, отчество", false, true, true, handle), 1);
    EXPECT_EQ(formatted.ExcelWrite(1, 2, 1, "Таб. №", false, true, true, handle), 1);
    EXPECT_EQ(formatted.ExcelWrite(1, 1, 2, "Иванов", false, true, false, handle), 1);
    EXPECT_EQ(formatted.ExcelWrite(1, 2, 2, "007", true, true, false, handle), 1);   // as typed
    EXPECT_EQ(formatted.ExcelWrite(1, 3, 2, "007", false, false, false, handle), 1); // converted
    EXPECT_EQ(formatted.ExcelWrite(1, 4, 2, "12,5", false, false, true, handle), 1);
    // A long value written without fitting widens the column at its next fit.
    EXPECT_EQ(formatted.ExcelWrite(1, 5, 2, "без подгонки, но длинный текст", false, false, false, handle), 1);
    EXPECT_EQ(formatted.ExcelWrite(1, 5, 3, "x", false, true, false, handle), 1);
    // The text format stays on the cell: a later value without asText is still kept as typed.
    EXPECT_EQ(formatted.ExcelWrite(1, 2, 2, "0042", false, true, false, handle), 1);
    // An empty text neither writes nor formats: the cell keeps its value and bold face.
    EXPECT_EQ(formatted.ExcelWrite(1, 1, 1, "", true, true, false, handle), 1);
    EXPECT_EQ(formatted.ExcelWrite(1, 6, 9, "", true, true, true, handle), 1);
    EXPECT_TRUE(app.opened.isEmpty()) << "nothing is shown before the export is made visible";
    EXPECT_EQ(formatted.ExcelVisible(true, handle), 1);
    EXPECT_TRUE(messenger.messages.empty()) << messenger.texts().join('\n').toStdString();

    ASSERT_EQ(app.opened.size(), 1);
    EXPECT_TRUE(QFileInfo(app.opened[0]).fileName().startsWith("Табель "));
    EXPECT_TRUE(app.opened[0].endsWith(".xlsx"));
    XlsxFile x(app.opened[0]);
    ASSERT_TRUE(x.error().isEmpty()) << x.error().toStdString();
    EXPECT_EQ(x.sheetNames(), QStringList{"Лист1"});

    struct Expected {
        const char* ref;
        const char* value;
        bool isNumber, textFormat, bold;
    };
    const Expected expected[] = {
        {"A1", "Фамилия, имя, отчество", false, false, true},
        {"B1", "Таб. №", false, false, true},
        {"A2", "Иванов", false, false, false},
        {"B2", "0042", false, true, false},
        {"C2", "7", true, false, false},
        {"D2", "12.5", true, false, true},
        {"E2", "без подгонки, но длинный текст", false, false, false},
        {"E3", "x", false, false, false},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.ref);
        auto c = x.cell(e.ref);
        ASSERT_TRUE(c.has_value());
        EXPECT_EQ(c->value, QString::fromUtf8(e.value));
        EXPECT_EQ(c->isNumber, e.isNumber);
        EXPECT_EQ(c->textFormat, e.textFormat);
        EXPECT_EQ(c->bold, e.bold);
    }
    EXPECT_EQ(x.cells().size(), 8) << "the empty texts wrote no cell";

    // Column widths: each fitted column fits its widest text (bold is wider); unfitted ones keep
    // the spreadsheet's default.
    ASSERT_TRUE(x.columnWidth(1).has_value());
    EXPECT_NEAR(*x.columnWidth(1), storedWidth(fittedColumnWidth(22, true)), 0.01);
    ASSERT_TRUE(x.columnWidth(2).has_value());
    EXPECT_NEAR(*x.columnWidth(2), storedWidth(fittedColumnWidth(6, true)), 0.01);
    EXPECT_FALSE(x.columnWidth(3).has_value());
    EXPECT_FALSE(x.columnWidth(4).has_value());
    ASSERT_TRUE(x.columnWidth(5).has_value());
    EXPECT_NEAR(*x.columnWidth(5), storedWidth(fittedColumnWidth(30, false)), 0.01);
    EXPECT_GT(*x.columnWidth(1), *x.columnWidth(2));
}

TEST_F(ExcelExportTest, PlainWritesStoreValuesOnly) {
    ASSERT_EQ(plain.ExcelOpen(QString(), handle), 1);
    // asText, autoFit and bold are all asked for and all have no effect.
    EXPECT_EQ(plain.ExcelWrite(1, 1, 1, "Марка", true, true, true, handle), 1);
    EXPECT_EQ(plain.ExcelWrite(1, 1, 2, "007", true, true, true, handle), 1);
    EXPECT_EQ(plain.ExcelWrite(1, 2, 2, "12,5", true, true, true, handle), 1);
    EXPECT_EQ(plain.ExcelWrite(1, 3, 2, "=1+2", true, true, true, handle), 1);
    plain.ExcelVisible(true, handle);
    XlsxFile x = lastOpened();
    ASSERT_TRUE(x.error().isEmpty()) << x.error().toStdString();
    for (const char* ref : {"A1", "A2", "B2", "C2"}) {
        SCOPED_TRACE(ref);
        auto c = x.cell(ref);
        ASSERT_TRUE(c.has_value());
        EXPECT_FALSE(c->bold);
        EXPECT_FALSE(c->textFormat);
    }
    EXPECT_TRUE(x.cell("A2")->isNumber);
    EXPECT_EQ(x.cell("A2")->value, "7");
    EXPECT_EQ(x.cell("B2")->value, "12.5");
    // A formula-looking text is a plain string, never a formula.
    EXPECT_FALSE(x.cell("C2")->isNumber);
    EXPECT_EQ(x.cell("C2")->value, "=1+2");
    for (int column = 1; column <= 3; ++column)
        EXPECT_FALSE(x.columnWidth(column).has_value());
}

TEST(SpreadsheetNumber, ConvertsWhatReadsAsANumber) {
    struct Case {
        const char* text;
        std::optional<double> number;
    };
    const Case cases[] = {
        {"12.5", 12.5},     {"12,5", 12.5},       {"-3", -3},          {"+4", 4},
        {"007", 7},         {"1e3", 1000},        {" 42 ", 42},        {"1\u00A0234,5", 1234.5},
        {"1 234 567", 1234567}, {",5", 0.5},      {"12.", 12},         {"0", 0},
        {"abc", {}},        {"12a", {}},          {"1.2.3", {}},       {"--1", {}},
        {"inf", {}},        {"nan", {}},          {"0x10", {}},        {"=1+2", {}},
        {"05.03.2024", {}}, {"1e999", {}},        {".", {}},           {"1 23", {}},
        {"12 %", {}},       {"١٢", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto got = spreadsheetNumber(QString::fromUtf8(c.text));
        ASSERT_EQ(got.has_value(), c.number.has_value());
        if (got) {
            EXPECT_DOUBLE_EQ(*got, *c.number);
        }
    }
}

TEST_F(ExcelExportTest, OpenFailuresShowTheirMessagesAndReturnMinusOne) {
    struct Case {
        const char* name;
        bool installed, hasFolder;
        QStringList texts;
    };
    const Case cases[] = {
        {"no application", false, true,
         {"Невозможно открыть Microsoft Excel.", "Ошибка открытия файла Microsoft Excel."}},
        {"no workbook", true, false, {"Ошибка открытия файла Microsoft Excel."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (ExcelExport* excel : {&plain, &formatted}) {
            FakeSpreadsheetApp broken;
            broken.installed = c.installed;
            broken.hasFolder = c.hasFolder;
            ExcelExport e(excel->variant(), messenger, &broken);
            ExcelApp h;
            messenger.clear();
            EXPECT_EQ(e.ExcelOpen(QString(), h), -1);
            EXPECT_EQ(messenger.texts(), c.texts);
            for (const Message& m : messenger.messages) {
                EXPECT_EQ(m.kind, Message::Error);
                EXPECT_EQ(m.title, "Ошибка");
            }
            // Without a workbook a write has no sheet, and there is nothing to show.
            messenger.clear();
            EXPECT_EQ(e.ExcelWrite(1, 1, 1, "x", false, false, false, h), -1);
            ASSERT_EQ(messenger.messages.size(), 1u);
            EXPECT_EQ(messenger.messages[0].title, "Ошибочный номер листа Microsoft Excel");
            EXPECT_EQ(e.ExcelVisible(true, h), 1);
            EXPECT_TRUE(broken.opened.isEmpty());
        }
    }
    // No application object at all behaves as a missing application.
    ExcelExport none(ExcelExport::Variant::Plain, messenger, nullptr);
    messenger.clear();
    EXPECT_EQ(none.ExcelOpen(QString(), handle), -1);
    EXPECT_EQ(messenger.messages.size(), 2u);
    // An existing file cannot be opened for writing here.
    messenger.clear();
    EXPECT_EQ(formatted.ExcelOpen(QStringLiteral("/tmp/some.xlsx"), handle), -1);
    EXPECT_EQ(messenger.texts(), QStringList{"Ошибка открытия файла Microsoft Excel."});
}

TEST_F(ExcelExportTest, VisibleBeforeAnyOpenDoesNothing) {
    EXPECT_EQ(formatted.ExcelVisible(true, handle), 1);
    EXPECT_EQ(formatted.ExcelVisible(false, handle), 1);
    EXPECT_TRUE(handle.isEmpty());
    EXPECT_TRUE(messenger.messages.empty());
    EXPECT_TRUE(app.opened.isEmpty());
}

TEST_F(ExcelExportTest, WriteFailuresNameSheetColumnAndRow) {
    ASSERT_EQ(formatted.ExcelOpen(QString(), handle), 1);
    struct Case {
        int sheet, column, row;
        QString text;
        const char* message;
        const char* title;
    };
    const Case cases[] = {
        {2, 3, 4, "x", "Ошибка при записи: лист 2, столбец 3, строка 4", "Ошибочный номер листа Microsoft Excel"},
        {0, 1, 1, "x", "Ошибка при записи: лист 0, столбец 1, строка 1", "Ошибочный номер листа Microsoft Excel"},
        {1, 0, 5, "x", "Ошибка при записи: лист 1, столбец 0, строка 5", "Ошибка Microsoft Excel"},
        {1, 2, 0, "x", "Ошибка при записи: лист 1, столбец 2, строка 0", "Ошибка Microsoft Excel"},
        {1, 16385, 1, "x", "Ошибка при записи: лист 1, столбец 16385, строка 1", "Ошибка Microsoft Excel"},
        {1, 1, 1048577, "x", "Ошибка при записи: лист 1, столбец 1, строка 1048577", "Ошибка Microsoft Excel"},
        {1, 1, 1, QString(32768, 'a'), "Ошибка при записи: лист 1, столбец 1, строка 1", "Ошибка Microsoft Excel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        for (ExcelExport* excel : {&plain, &formatted}) {
            messenger.clear();
            EXPECT_EQ(excel->ExcelWrite(c.sheet, c.column, c.row, c.text, true, true, true, handle), -1);
            ASSERT_EQ(messenger.messages.size(), 1u);
            EXPECT_EQ(messenger.messages[0].kind, Message::Error);
            EXPECT_EQ(messenger.messages[0].text, QString::fromUtf8(c.message));
            EXPECT_EQ(messenger.messages[0].title, QString::fromUtf8(c.title));
            // An empty text is checked before anything else: no message, 1.
            messenger.clear();
            EXPECT_EQ(excel->ExcelWrite(c.sheet, c.column, c.row, QString(), true, true, true, handle), 1);
            EXPECT_TRUE(messenger.messages.empty());
        }
    }
    // The last cell the spreadsheet has is still written.
    messenger.clear();
    EXPECT_EQ(formatted.ExcelWrite(1, 16384, 1048576, "край", false, false, false, handle), 1);
    EXPECT_EQ(formatted.ExcelWrite(1, 1, 1, QString(32767, 'a'), false, false, false, handle), 1);
    formatted.ExcelVisible(true, handle);
    XlsxFile x = lastOpened();
    ASSERT_TRUE(x.error().isEmpty()) << x.error().toStdString();
    EXPECT_EQ(x.cell("XFD1048576")->value, "край");
    EXPECT_EQ(x.cell("A1")->value.size(), 32767);
    EXPECT_EQ(x.cells().size(), 2);
}

TEST_F(ExcelExportTest, EveryExportGetsAFileOfItsOwn) {
    // Two exports in the same second, the first still open in the application.
    for (const char* value : {"первая", "вторая"}) {
        ASSERT_EQ(plain.ExcelOpen(QString(), handle, QStringLiteral("Цены операций")), 1);
        plain.ExcelWrite(1, 1, 1, QString::fromUtf8(value), false, false, false, handle);
        plain.ExcelVisible(true, handle);
    }
    ASSERT_EQ(app.opened.size(), 2);
    EXPECT_NE(app.opened[0], app.opened[1]);
    EXPECT_EQ(XlsxFile(app.opened[0]).cell("A1")->value, "первая");
    EXPECT_EQ(XlsxFile(app.opened[1]).cell("A1")->value, "вторая");
    // Showing again without a change opens nothing new.
    plain.ExcelVisible(true, handle);
    EXPECT_EQ(app.opened.size(), 2);

    // A workbook made while the previous one was still hidden is shown with it.
    ASSERT_EQ(formatted.ExcelOpen(QString(), handle), 1);
    formatted.ExcelWrite(1, 1, 1, "скрытая", false, false, false, handle);
    formatted.ExcelVisible(false, handle);
    ASSERT_EQ(formatted.ExcelOpen(QString(), handle), 1);
    formatted.ExcelWrite(1, 1, 1, "последняя", false, false, false, handle);
    EXPECT_EQ(app.opened.size(), 2);
    formatted.ExcelVisible(true, handle);
    ASSERT_EQ(app.opened.size(), 4);
    EXPECT_EQ(XlsxFile(app.opened[2]).cell("A1")->value, "скрытая");
    EXPECT_EQ(XlsxFile(app.opened[3]).cell("A1")->value, "последняя");
    EXPECT_EQ(QStringList(handle.writtenFiles().begin(), handle.writtenFiles().end()), app.opened);
    for (const QString& f : app.opened)
        EXPECT_TRUE(QFileInfo(f).isFile()) << f.toStdString();
    EXPECT_TRUE(messenger.messages.empty());
}

TEST_F(ExcelExportTest, AFailedHandOverIsReportedNotHidden) {
    ASSERT_EQ(formatted.ExcelOpen(QString(), handle), 1);
    formatted.ExcelWrite(1, 1, 1, "данные", false, false, false, handle);

    // The folder has gone: nothing is written, the workbook waits for the next try.
    app.hasFolder = false;
    EXPECT_THROW(formatted.ExcelVisible(true, handle), SpreadsheetError);
    EXPECT_TRUE(app.opened.isEmpty());
    app.hasFolder = true;
    EXPECT_EQ(formatted.ExcelVisible(true, handle), 1);
    ASSERT_EQ(app.opened.size(), 1);
    EXPECT_EQ(XlsxFile(app.opened[0]).cell("A1")->value, "данные");

    // The application cannot be started: the error names the written file, which stays.
    ASSERT_EQ(formatted.ExcelOpen(QString(), handle), 1);
    formatted.ExcelWrite(1, 1, 1, "ещё", false, false, false, handle);
    app.starts = false;
    try {
        formatted.ExcelVisible(true, handle);
        ADD_FAILURE() << "a workbook that did not open was reported as shown";
    } catch (const SpreadsheetError& e) {
        ASSERT_EQ(app.opened.size(), 2);
        EXPECT_TRUE(e.text().contains(app.opened[1])) << e.text().toStdString();
        EXPECT_TRUE(QFileInfo(app.opened[1]).isFile());
    }
}

TEST_F(ExcelExportTest, AFailedOpenKeepsTheHandle) {
    ASSERT_EQ(plain.ExcelOpen(QString(), handle), 1);
    app.installed = false;
    EXPECT_EQ(plain.ExcelOpen(QString(), handle), -1);
    EXPECT_FALSE(handle.isEmpty());
    // The first workbook is still the one written to.
    EXPECT_EQ(plain.ExcelWrite(1, 1, 1, "1", false, false, false, handle), 1);
    ASSERT_NE(handle.activeWorkbook(), nullptr);
    EXPECT_TRUE(handle.activeWorkbook()->findCell(1, 1, 1)->isNumber);
}

TEST(ExcelHolders, ModuleHandlesLiveWithTheApplication) {
    FakeSpreadsheetApp app;
    ScriptedMessenger messenger;
    {
        // The summary reports and the price list share one handle...
        PlainExcel reports(messenger, &app);
        ASSERT_EQ(reports.ExcelOpen(QString()), 1);
        reports.ExcelWrite(1, 1, 1, "отчёт");
    }
    PlainExcel priceList(messenger, &app);
    EXPECT_FALSE(priceList.handle().isEmpty());
    EXPECT_EQ(&priceList.handle(), &app.summaryReportsHandle);
    priceList.ExcelVisible(true);
    ASSERT_EQ(app.opened.size(), 1);
    EXPECT_EQ(XlsxFile(app.opened[0]).cell("A1")->value, "отчёт");
    // ... the time sheet by shifts has its own.
    FormattedExcel shifts(messenger, &app);
    EXPECT_TRUE(shifts.handle().isEmpty());
    EXPECT_EQ(shifts.ExcelVisible(true), 1);
    ASSERT_EQ(shifts.ExcelOpen(QString()), 1);
    EXPECT_EQ(&shifts.handle(), &app.timeSheetByShiftsHandle);
    EXPECT_EQ(shifts.ExcelWrite(1, 1, 1, "007", true, true, true), 1);
    shifts.ExcelVisible(true);
    ASSERT_EQ(app.opened.size(), 2);
    auto c = XlsxFile(app.opened[1]).cell("A1");
    ASSERT_TRUE(c.has_value());
    EXPECT_TRUE(c->textFormat && c->bold && !c->isNumber);
}

} // namespace

namespace {

// The desktop's folder for workbooks: per user, closed to others, and never one planted by someone
// else in the shared temporary folder.
TEST(DesktopSpreadsheetApp, KeepsWorkbooksInAFolderOfTheUser) {
    QTemporaryDir temp;
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", temp.path().toUtf8());
    DesktopSpreadsheetApp desktop;
    const QString folder = desktop.workbookFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_EQ(QFileInfo(folder).absolutePath(), QFileInfo(temp.path()).absoluteFilePath());
    EXPECT_TRUE(QFileInfo(folder).fileName().startsWith("tabel-"));
    EXPECT_EQ(QFile::permissions(folder) & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther),
              QFileDevice::Permissions());
    EXPECT_EQ(desktop.workbookFolder(), folder) << "the same folder every time";

    // A link put in its place is not followed.
    QDir(folder).removeRecursively();
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::link(elsewhere.path(), folder));
    EXPECT_TRUE(desktop.workbookFolder().isEmpty());
    if (oldTmp.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", oldTmp);
}

} // namespace
