// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Renders an SVG picture to PNG files of the given sizes, through Qt's SVG image plugin:
//   chimewell-iconrender SOURCE.svg OUTPATTERN SIZE...   (OUTPATTERN holds %1 for the size)
#include <QGuiApplication>
#include <QImageReader>
#include <QTextStream>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        QTextStream(stderr) << "usage: chimewell-iconrender SOURCE.svg OUTPATTERN SIZE...\n";
        return 2;
    }
    for (const QString& sizeText : args.mid(3)) {
        const QStringList parts = sizeText.split(QLatin1Char('x'));
        const int width = parts.value(0).toInt();
        const int height = parts.size() > 1 ? parts.value(1).toInt() : width;
        QImageReader reader(args.at(1), "svg");
        reader.setScaledSize(QSize(width, height));
        const QImage image = reader.read();
        const QString out = args.at(2).arg(sizeText);
        if (image.isNull() || !image.save(out)) {
            QTextStream(stderr) << "cannot render " << out << ": " << reader.errorString() << "\n";
            return 1;
        }
    }
    return 0;
}
