#include "tests/reports/xlsx_reader.h"

#include <QProcess>
#include <QXmlStreamReader>

QByteArray XlsxFile::part(const QString& name, bool optional) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path_, name});
    if (!unzip.waitForFinished(30000) || unzip.exitStatus() != QProcess::NormalExit || unzip.exitCode() != 0) {
        if (error_.isEmpty() && !optional)
            error_ = QStringLiteral("unzip -p %1 %2: %3 %4")
                         .arg(path_, name, unzip.errorString(), QString::fromLocal8Bit(unzip.readAllStandardError()));
        return {};
    }
    return unzip.readAllStandardOutput();
}

QString XlsxFile::ref(int column, int row) {
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar('A' + (c - 1) % 26));
    return letters + QString::number(row);
}

XlsxFile::XlsxFile(const QString& path, int sheet) : path_(path) {
    // workbook: sheet names
    {
        QXmlStreamReader x(part(QStringLiteral("xl/workbook.xml")));
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("sheet"))
                sheetNames_ << x.attributes().value(QStringLiteral("name")).toString();
        }
    }
    // styles: fonts (bold) and cell formats (number format, font)
    std::vector<bool> fontBold;
    struct Xf {
        int numFmt, font;
    };
    std::vector<Xf> xfs;
    {
        QXmlStreamReader x(part(QStringLiteral("xl/styles.xml")));
        bool inFonts = false, inXfs = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement()) {
                if (x.name() == QLatin1String("fonts"))
                    inFonts = true;
                else if (x.name() == QLatin1String("cellXfs"))
                    inXfs = true;
                else if (inFonts && x.name() == QLatin1String("font"))
                    fontBold.push_back(false);
                else if (inFonts && x.name() == QLatin1String("b") && !fontBold.empty())
                    fontBold.back() = true;
                else if (inXfs && x.name() == QLatin1String("xf"))
                    xfs.push_back({x.attributes().value(QStringLiteral("numFmtId")).toInt(),
                                   x.attributes().value(QStringLiteral("fontId")).toInt()});
            } else if (x.isEndElement()) {
                if (x.name() == QLatin1String("fonts"))
                    inFonts = false;
                else if (x.name() == QLatin1String("cellXfs"))
                    inXfs = false;
            }
        }
    }
    // shared strings, if the writer used them
    QStringList shared;
    {
        const QByteArray data = part(QStringLiteral("xl/sharedStrings.xml"), true);
        QXmlStreamReader x(data);
        bool inSi = false;
        while (!data.isEmpty() && !x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("si")) {
                inSi = true;
                shared << QString();
            } else if (x.isEndElement() && x.name() == QLatin1String("si")) {
                inSi = false;
            } else if (inSi && x.isStartElement() && x.name() == QLatin1String("t")) {
                shared.back() += x.readElementText();
            }
        }
    }
    QXmlStreamReader x(part(QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheet)));
    QString curRef, curType;
    Cell cur;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            if (x.name() == QLatin1String("col")) {
                cols_.push_back({x.attributes().value(QStringLiteral("min")).toInt(),
                                 x.attributes().value(QStringLiteral("max")).toInt(),
                                 x.attributes().value(QStringLiteral("width")).toDouble()});
            } else if (x.name() == QLatin1String("row")) {
                lastRow_ = std::max(lastRow_, x.attributes().value(QStringLiteral("r")).toInt());
            } else if (x.name() == QLatin1String("c")) {
                curRef = x.attributes().value(QStringLiteral("r")).toString();
                curType = x.attributes().value(QStringLiteral("t")).toString();
                cur = Cell{};
                const int s = x.attributes().value(QStringLiteral("s")).toInt();
                if (s >= 0 && static_cast<size_t>(s) < xfs.size()) {
                    cur.textFormat = xfs[static_cast<size_t>(s)].numFmt == 49;
                    const int f = xfs[static_cast<size_t>(s)].font;
                    cur.bold = f >= 0 && static_cast<size_t>(f) < fontBold.size() && fontBold[static_cast<size_t>(f)];
                }
            } else if (x.name() == QLatin1String("v")) {
                const QString v = x.readElementText();
                if (curType == QLatin1String("s"))
                    cur.value = shared.value(v.toInt());
                else {
                    cur.value = v;
                    cur.isNumber = curType.isEmpty() || curType == QLatin1String("n");
                }
            } else if (x.name() == QLatin1String("t") && curType == QLatin1String("inlineStr")) {
                cur.value += x.readElementText();
            }
        } else if (x.isEndElement() && x.name() == QLatin1String("c")) {
            cells_.insert(curRef, cur);
        }
    }
    if (x.hasError() && error_.isEmpty())
        error_ = x.errorString();
}

std::optional<XlsxFile::Cell> XlsxFile::cell(const QString& ref) const {
    auto it = cells_.find(ref);
    if (it == cells_.end())
        return std::nullopt;
    return *it;
}

std::optional<double> XlsxFile::columnWidth(int column) const {
    for (const Col& c : cols_)
        if (column >= c.min && column <= c.max)
            return c.width;
    return std::nullopt;
}
