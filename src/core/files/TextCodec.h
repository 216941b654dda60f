#pragma once
// The program's text files are 8-bit Windows-1252. These helpers decode and
// encode them and split them into lines (CR, LF and CR LF all end a line).
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

QString DecodeCp1252(const QByteArray& bytes);
// Characters that Windows-1252 cannot hold are written as "?".
QByteArray EncodeCp1252(const QString& text);

// The lines of a text; a final line terminator does not start another line.
std::vector<std::string> SplitLines(const QString& text);
