#pragma once
// The parts of the manual that come from the program itself, as HTML for a
// QTextDocument: the message list (MessageCatalog), the diagnostic list file
// and the help text of qvs-cli.
#include <QString>

class CVarData;
class IDData;

// The message list, one section per group, one table row per message.
QString MessagesHtml();

// The entries of the diagnostic list file as the Diagnostic page shows them,
// one table per error word. error is set when the file cannot be read.
QString DiagnosticsHtml(const QString& listPath, QString* error);

// The output of "qvs-cli --help" (the program at cliPath), as preformatted
// text; error is set when it cannot be run. An empty cliPath gives a note.
QString CliHelpHtml(const QString& cliPath, QString* error);

// The joystick list file as a table: code, description, axes, whether the
// controller can use it. error is set when the file cannot be read.
QString JoysticksHtml(const QString& listPath, QString* error);

// The catalogue: the configuration parameters with their limits and factory
// settings, then the live values.
QString ParametersHtml(const IDData& table);

// "100 to 1500 mA": the limits of a parameter in its display unit.
QString LimitsText(const CVarData& record);
// "400 mA": its factory setting.
QString DefaultText(const CVarData& record);

// The message text as the chapter shows it: fixed pieces in the typewriter
// font, variable parts in italics, CR as a line break.
QString MessageTextHtml(const QString& text);
