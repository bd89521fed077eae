#pragma once
// Reads a written .xlsx back (a zip of XML parts, unpacked with unzip): cells, text format, bold and
// column widths of one worksheet.

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class XlsxFile {
public:
    struct Cell {
        QString value;        // shown value: the string, or the number as stored
        bool isNumber = false;
        bool textFormat = false; // number format 49, "@"
        bool bold = false;
    };

    // Reads the workbook's sheet names and the given worksheet (1-based).
    explicit XlsxFile(const QString& path, int sheet = 1);
    // Empty when reading succeeded.
    const QString& error() const { return error_; }
    const QStringList& sheetNames() const { return sheetNames_; }
    // Cells by reference ("A1"); nullopt for a cell not written.
    std::optional<Cell> cell(const QString& ref) const;
    const QMap<QString, Cell>& cells() const { return cells_; }
    // Width set for the 1-based column; nullopt when the spreadsheet's default applies.
    std::optional<double> columnWidth(int column) const;
    // Number of the last row that holds a cell.
    int lastRow() const { return lastRow_; }

    static QString ref(int column, int row);

private:
    QByteArray part(const QString& name, bool optional = false);
    QString path_;
    QString error_;
    QStringList sheetNames_;
    QMap<QString, Cell> cells_;
    struct Col {
        int min, max;
        double width;
    };
    std::vector<Col> cols_;
    int lastRow_ = 0;
};
