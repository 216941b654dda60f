#include "core/state/MessageCatalog.h"

#include "core/config/ConfigModel.h"
#include "core/config/JoySelection.h"
#include "core/files/File.h"
#include "core/link/CANLink.h"
#include "core/link/E2Image.h"
#include "core/link/IDData.h"
#include "core/state/Commands.h"

namespace {

using K = MessageKind;

const char* const Connecting = "Connecting to the controller";
const char* const Transfers = "Reading, writing and restoring the defaults";
const char* const Checks = "Checks before a write";
const char* const Files = "Configuration files";
const char* const Entry = "Entering values";
const char* const Service = "Assistance login and Debugger";
const char* const Resources = "Resource files, palette and manual";
const char* const Starting = "Starting the programs (terminal)";
const char* const Indicators = "Indicators and status texts";

std::string S(const char* text) { return std::string(text); }

std::vector<MessageEntry> Build()
{
    std::vector<MessageEntry> m;
    const auto add = [&m](const char* group, K kind, std::string text, std::string title, std::string where,
                          std::string meaning, std::string action) {
        m.push_back({group, kind, std::move(text), std::move(title), std::move(where), std::move(meaning),
                     std::move(action)});
    };

    // --- Connecting -------------------------------------------------------
    add(Connecting, K::Box, S(CommandText::UnableToInitialize), "", "Hardware / Connect.",
        "The CAN adapter could not be opened: it is not plugged in, its interface is down, another program "
        "holds it, or the bus named with --bus or QVS_BUS does not exist.",
        "Check the adapter's USB cable. On Linux bring the interface up (ip link set can0 up type can bitrate "
        "250000) or start the program with the right --bus. The status bar shows the bus in use.");
    add(Connecting, K::Box, S(CommandText::SelectUsbPort), "", "Hardware / Connect.",
        "No adapter port is selected (Set / Set USB Port is on None).",
        "Choose PCAN USB 1 in Set / Set USB Port, then Connect again.");
    add(Connecting, K::Question, S(CommandText::NotSavedQuestion), "",
        "Connect, or leaving the program, while the file indicator shows FILE TO SAVE.",
        "The configuration on the PC was changed and not saved. Connecting reads the controller and replaces "
        "it; leaving the program loses it.",
        "Answer No and save with File / Save Configuration first, or Yes to drop the changes.");
    add(Connecting, K::Question, S(CommandText::PowerResetQuestion), "", "Connect.",
        "A Reset (restore of the factory defaults) was sent to this controller, but its power has not been "
        "switched off and on since. The controller still runs with the old values.",
        "Answer No, switch the controller's supply off and on, then Connect again. Yes connects anyway and "
        "reads the old values.");
    add(Connecting, K::Box, S(CommandText::OperationFailed) + "{reason}", "",
        "Connect, Read, Write, Reset, or a Debugger command, when the controller does not answer correctly.",
        "The operation stopped at the first failed request; the reason follows the colon (see the reasons "
        "below). The connection is shown as Not Connected.",
        "Check the reason, the CAN wiring and the controller's supply, then Connect again.");
    add(Connecting, K::Reason, S(CANLink::CommunicationTimeOut), "", "After \"Operation Failed :\".",
        "The controller did not answer a request within 200 ms.",
        "Check that the controller is powered, the CAN cable is connected (CAN-H, CAN-L, ground), the bus has "
        "its two 120 ohm terminations and runs at 250 kbit/s. For a slow controller try --link-timing legacy.");
    add(Connecting, K::Reason, S(CANLink::CommunicationError), "", "After \"Operation Failed :\".",
        "The controller answered with a reply that does not match the request, or a value or address outside "
        "0 to 65535 was asked for.",
        "Repeat the operation. If it persists, check for a second device answering on identifier 221 and for "
        "electrical noise on the bus; in the Debugger, enter values from 0 to 65535 only.");

    // --- Transfers --------------------------------------------------------
    add(Transfers, K::Box, "READ FAULT:\r - {parameter}", "", "After Connect or Read.",
        "These parameters held a value outside their limits in the controller. The program replaced them by "
        "their factory default on the PC; the controller still holds the wrong value.",
        "Check the values shown on the page and write the configuration to correct the controller.");
    add(Transfers, K::Reason, "{parameter} : VALUE {value}" + S(E2Image::NotAWordText), "",
        "After \"Operation Failed :\", at Hardware / Write or Write All.",
        "A value to be written does not fit a controller word (0 to 65535), which only an override of the limit "
        "check lets through. Nothing was sent.",
        "Correct the value on its page, then write again.");
    add(Transfers, K::Box, S(CommandText::SwitchPower), "", "After Hardware / Reset.",
        "The factory defaults were sent. They take effect at the next power-up; the program disconnects.",
        "Switch the controller's supply off, wait a few seconds, switch it on, then Connect.");

    // --- Checks -----------------------------------------------------------
    add(Checks, K::Box, "{pin}" + S(config::PinAlreadyUsed), S(CommandText::ConfigurationError),
        "Hardware / Write on the Configure page.",
        "Two functions (an input, the man present input, a float function or the slow input) use the same pin.",
        "Give each function its own pin on the Configure page and in the input selection, then write again.");
    add(Checks, K::Box, "{parameter} : VALUE {value}" + S(E2Image::OutsideLimitsText) + "{min}..{max}",
        S(CommandText::ConfigurationError), "Hardware / Write and Write All.",
        "A value on the PC lies outside the limits of its parameter: it came from a configuration file, or was "
        "typed and kept after the restore question was answered No. It is not sent.",
        "Correct the value on its page (or in the file and load it again), then write again.");
    add(Checks, K::Box, "{parameter} : ENTRY '{text}'" + S(config::EntryNotValid), S(CommandText::ConfigurationError),
        "Hardware / Write on the Configure page.",
        "A box of the page holds a text that was not taken (not a number, or outside its limits and kept after "
        "the restore question was answered No): the PC still holds the value before it.",
        "Correct the text in the red box (its tooltip gives the limits), then write again.");
    add(Checks, K::Box, "JOY_{n}" + S(config::PinNotConnected), S(CommandText::ConfigurationError),
        "Hardware / Write on the Configure page.",
        "Input n is set as an analog joystick without an input pin, or as a digital input without either pin.",
        "Open the input selection of input n and choose its pin(s), or set the input to not connected.");
    add(Checks, K::Question, "{pin}" + S(config::SameFloatPin) + "\r" + CommandText::ContinueAnyway,
        S(CommandText::ConfigurationWarning), "Hardware / Write on the Configure page.",
        "Both float functions are on the same input pin: one switch starts both.",
        "Answer No and choose another pin for one float function, or Yes when this is wanted.");
    add(Checks, K::Box, "INPUT {pin} IS NOT COMPATIBLE WITH VOLTAGE RANGE " + S(config::VoltageRangeNames[1]),
        S(CommandText::ConfigurationError), "OK of the input selection, or Hardware / Write.",
        "Pins C2.02 (AI_1) and C2.03 (AI_2) take 5 V signals only; they cannot read a battery-referenced "
        "(Vbb) input.",
        "Choose the reference 5V (regulated), or move the input to C2.04 (AI_3) or C2.05 (AI_4).");
    add(Checks, K::Box, "{parameter} : {reason}", S(CommandText::ConfigurationError), "OK of the input selection.",
        "A value of the input could not be converted for the controller; nothing of the input was changed.",
        "Check the input's settings and try again; report the text to the maker's assistance.");
    add(Checks, K::Question, "{finding}\r" + S(CommandText::ContinueAnyway),
        S(CommandText::ConfigurationError) + " or " + CommandText::ConfigurationWarning,
        "Write or OK of the input selection, while the assistance login is active.",
        "With the assistance login every finding above can be overridden.",
        "Answer No unless the maker's assistance asks for this configuration.");

    // --- Files ------------------------------------------------------------
    add(Files, K::Box, S(ConfigFile::LoadSucceededText), "", "File / Load Configuration.",
        "The file was read; its values are now on the PC (PARAMETER DIFF. while connected).",
        "Check the pages, then use Write on the Configure page to send the values to the controller.");
    add(Files, K::Box, S(ConfigFile::LoadFailedText), "", "File / Load Configuration.",
        "The file cannot be read or is not a configuration file (empty, cut off, a number that is too "
        "large). Nothing was changed.",
        "Choose another file; open the file in a text editor to check that it starts with the information "
        "block and the line Variable Name, Address, Value.");
    add(Files, K::Box, "Lines ignored, their address is not in the catalogue:\r{addresses}", "",
        "After a successful load.",
        "The file holds parameters this program does not know (a file of another controller or version).",
        "Check that the file belongs to this controller; the other values were loaded.");
    add(Files, K::Box, "Values outside their limits, loaded unchanged:\r - {parameter}", "",
        "After a successful load.",
        "The file holds values outside the parameter limits; they were loaded as they are.",
        "Correct these values on the Configure page before writing.");
    add(Files, K::Question, S(ConfigFile::OverwriteQuestion), "", "File / Save Configuration.",
        "A file of that name exists already.", "Answer Yes to replace it, No to choose another name.");
    add(Files, K::Box, S(ConfigFile::SaveSucceededText), "", "File / Save Configuration.",
        "The file was written. The file indicator shows FILE OK.", "Nothing.");
    add(Files, K::Box, S(ConfigFile::SaveFailedText), "", "File / Save Configuration.",
        "The file could not be written (no permission, disk full, a folder of that name). The old file, if "
        "any, is unchanged.",
        "Save into another folder, for example your home folder, or free some disk space.");
    add(Files, K::Terminal, S(ConfigFile::VariableNotFoundText), "", "qvs-cli, after \"address n:\".",
        "A line of the file has an address that is not in the catalogue; it is ignored.",
        "Check that the file belongs to this controller.");

    // --- Entry ------------------------------------------------------------
    add(Entry, K::Question, "Value Not Correct : Restore With '{value}' ?", "",
        "Enter or leaving a value field (currents, ramps, float currents, dither code).",
        "The value typed is outside the limits of the parameter.",
        "Yes puts back the value read from the controller; No lets you correct the entry.");
    add(Entry, K::Indicator, "Not a number: nothing is stored", "", "Tooltip of a red value field.",
        "The field holds something that is not a number.", "Type digits only.");
    add(Entry, K::Indicator, "Outside the range {min} to {max}: nothing is stored", "",
        "Tooltip of a red value field.", "The value is outside the limits of the parameter.",
        "Type a value within the range shown.");
    add(Entry, K::Indicator, "The value cannot be converted: nothing is stored", "",
        "Tooltip of a red value field.", "The conversion of the value to the controller's unit failed.",
        "Type a smaller value.");

    // --- Service ----------------------------------------------------------
    add(Service, K::Box, "Login Successful!", "", "Set / Login.",
        "The assistance login is active until Logout or the end of the program.", "Nothing.");
    add(Service, K::Box, "Password NOT Correct!", "", "Set / Login.",
        "The password typed is wrong. Capitals do not matter, blanks do.",
        "Type the password again; it is given by the maker's assistance.");
    add(Service, K::Box, "Invalid Address", "", "A Debugger command.",
        "No catalogue variable is selected (the list shows -------).",
        "Choose a variable in the list or type its address and press Enter.");
    add(Service, K::Box, "No Variable At Address {text}", "", "Enter in the address box of the Debugger page.",
        "No variable of the catalogue has the address typed (or the text is no number); the variable selected "
        "before stays selected.",
        "Type the address of a catalogue variable (the Appendix lists them) or choose one in the list.");
    add(Service, K::Box, "Value Not Correct : '{text}'\rEnter a whole number from 0 to 65535.", "",
        "WRITE or SET on the Debugger page.", "The value box does not hold a controller word.",
        "Type a whole number from 0 to 65535.");
    add(Service, K::Box, "Operation Failed!", "", "RESET on the Debugger page.",
        "The restore of the factory defaults failed: the controller did not take the request.",
        "Check the connection and try again.");
    add(Service, K::Box, "POWER RESET Needed For Default Parameters Configuration To Be Effective !!!", "",
        "RESET on the Debugger page.", "The factory defaults were sent; they take effect at the next power-up.",
        "Switch the controller's supply off and on, then Connect.");

    // --- Resources --------------------------------------------------------
    add(Resources, K::Box, S(IDData::LoadFailureText), "", "Program start.",
        "The parameter catalogue res/ini/Ramlist.ini is missing or damaged. Without it the program cannot "
        "read or write any parameter.",
        "Reinstall the program, or start it with --home pointing to the folder that holds res/.");
    add(Resources, K::Box, "'Diagnostic.ini' file NOT FOUND or CORRUPTED", "", "Opening the Diagnostic page.",
        "The diagnostic list res/ini/DiagnosticList.ini is missing or damaged. The lamps work, but without "
        "names and error lines.",
        "Reinstall the program or restore the file.");
    add(Resources, K::Box, "'JoyList.ini' file NOT FOUND or CORRUPTED", "", "Opening the input selection.",
        "The joystick list res/ini/JoylistNew.ini is missing or damaged; the gallery stays empty.",
        "Reinstall the program or restore the file. Inputs can still be set by their type.");
    add(Resources, K::Box, "'JoyList.ini' holds more than 17 joysticks: only the first 17 are shown", "",
        "Opening the input selection.", "The joystick list has more entries than the gallery can show.",
        "Nothing, unless a joystick you need is missing: then shorten the list.");
    add(Resources, K::Box,
        "The palette file is damaged: {problem}\rThe first preset palette is used until a palette is saved "
        "with OK in Set / Palette.",
        "", "Program start.", "The colour file colour.ini cannot be read.",
        "Choose the colours in Set / Palette and press OK to write a new file.");
    add(Resources, K::Box, "The palette cannot be saved: {problem}\rThe colours stay as chosen until the program ends.",
        "", "OK in Set / Palette.", "The colour file could not be written.",
        "Check the permissions of res/ini or of your configuration folder.");
    add(Resources, K::Box, "The manual QVSMANUAL.pdf is not installed in the program folder:\r{folder}", "",
        "Help / Help Topics or F1.", "The manual file is missing.", "Reinstall the program.");
    add(Resources, K::Box, "The manual could not be opened:\r{path}", "", "Help / Help Topics or F1.",
        "No PDF viewer could show the manual.", "Install a PDF viewer, or open the file by hand.");
    add(Resources, K::Box, "System Information Is Unavailable At This Time", "",
        "System Info... in Help / Software Info.", "No system information program is installed.",
        "Install one (for example hardinfo), or ignore the message.");

    // --- Starting ---------------------------------------------------------
    add(Starting, K::Terminal, "QvsStudio: no res/ folder in {folder} (use --home or QVS_HOME)", "",
        "Program start.", "The program does not find its resource folder.",
        "Start it with --home DIR or set QVS_HOME to the folder that holds res/.");
    add(Starting, K::Terminal, "--bus needs a bus name (sim, auto or plugin:interface)", "", "Program start.",
        "--bus was given without a name.", "Write for example --bus socketcan:can0.");
    add(Starting, K::Terminal, "--simulate and --bus {bus} contradict each other", "", "Program start.",
        "Both the simulator and a real bus were asked for.", "Give only one of them.");
    add(Starting, K::Terminal, "--link-timing '{text}' not understood: use fast or legacy", "", "Program start.",
        "The link timing is neither fast nor legacy.", "Use --link-timing fast or --link-timing legacy.");
    add(Starting, K::Indicator,
        "no CAN adapter found: no socketcan interface is up and no peakcan device answers (choose one with "
        "--bus plugin:interface, or --simulate)",
        "", "Status bar, and the terminal, at start with the bus auto.",
        "No adapter was found: no CAN interface is up and no adapter driven by the maker's library answers.",
        "Plug in the adapter and bring its interface up, or name it with --bus; --list-buses shows what "
        "each CAN plugin found and why it found nothing (a missing library, an interface that is down).");

    // --- Indicators -------------------------------------------------------
    add(Indicators, K::Indicator, "Not Connected", "", "Connection box of the status area.",
        "No connection to the controller, or the last operation failed.", "Connect.");
    add(Indicators, K::Indicator, "Connected", "", "Connection box (green).",
        "The connection is open and idle.", "Nothing.");
    add(Indicators, K::Indicator, "PARAMETER OK", "", "Parameter box (green), Configure page.",
        "The values on the PC are those of the controller.", "Nothing.");
    add(Indicators, K::Indicator, "PARAMETER DIFF.", "", "Parameter box (yellow), Configure page.",
        "The values on the PC differ from the controller (edited or loaded from a file).",
        "Write them, or Read to take the controller's values back.");
    add(Indicators, K::Indicator, "FILE TO SAVE", "", "File box (yellow).",
        "The configuration or the Info block was changed since the last save or load.",
        "Save the configuration to a file if you want to keep it.");
    add(Indicators, K::Indicator, "FILE OK", "", "File box (green).",
        "The configuration on the PC is the one last saved or loaded.", "Nothing.");
    add(Indicators, K::Indicator, "READY", "", "Monitor page, blue.", "The controller reports no error.",
        "Nothing.");
    add(Indicators, K::Indicator, "NOT READY", "", "Monitor page, red.",
        "The controller's main error word is not 0: the outputs are locked.",
        "Open the Diagnostic page to see which error is active.");
    add(Indicators, K::Indicator, "Undefined Joystick", "", "Tooltip of a joystick picture on the Monitor page.",
        "The joystick identifier in the controller is not in the joystick list.",
        "Choose the joystick again in the input selection and write.");
    add(Indicators, K::Indicator, "Reading...", "", "Wait window and status bar.",
        "The parameters are being read.", "Wait.");
    add(Indicators, K::Indicator, "Writing...", "", "Wait window and status bar.",
        "The parameters are being written.", "Wait; do not switch the controller off.");
    add(Indicators, K::Indicator, "Restoring default setting...", "", "Wait window and status bar.",
        "The restore of the factory defaults is being sent.", "Wait.");
    add(Indicators, K::Indicator, "Monitor...", "", "Status bar, Monitor page.", "The page polls the controller.",
        "Nothing.");
    add(Indicators, K::Indicator, "Diagnostic...", "", "Status bar, Diagnostic page.",
        "The page polls the error words.", "Nothing.");
    add(Indicators, K::Indicator, "Debug: Monitoring...", "", "Status bar, Debugger page (MONITOR).",
        "The Debugger reads the selected RAM word continuously.", "Press MONITOR again to stop.");
    add(Indicators, K::Indicator, "..Wait..", "", "Value boxes of the Debugger page.",
        "A request to the controller is running.", "Wait.");
    return m;
}

} // namespace

const std::vector<MessageEntry>& MessageCatalog()
{
    static const std::vector<MessageEntry> catalog = Build();
    return catalog;
}

namespace {

// Splits text into fixed pieces and variable names; pieces break at CR.
void Split(const std::string& text, std::vector<std::string>* fixed, std::vector<std::string>* names)
{
    std::string piece;
    const auto flush = [&] {
        if (fixed && !piece.empty())
            fixed->push_back(piece);
        piece.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{') {
            const size_t close = text.find('}', i + 1);
            if (close != std::string::npos) {
                flush();
                if (names)
                    names->push_back(text.substr(i + 1, close - i - 1));
                i = close;
                continue;
            }
        }
        if (c == '\r' || c == '\n') {
            flush();
            continue;
        }
        piece += c;
    }
    flush();
}

} // namespace

std::vector<std::string> FixedParts(const std::string& text)
{
    std::vector<std::string> parts;
    Split(text, &parts, nullptr);
    return parts;
}

std::vector<std::string> VariableParts(const std::string& text)
{
    std::vector<std::string> names;
    Split(text, nullptr, &names);
    return names;
}

const MessageEntry* FindMessage(const std::string& text)
{
    for (const MessageEntry& e : MessageCatalog())
        if (e.Text == text)
            return &e;
    return nullptr;
}

const char* MessageKindName(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Box:
        return "message box";
    case MessageKind::Question:
        return "question (Yes/No)";
    case MessageKind::Reason:
        return "reason";
    case MessageKind::Indicator:
        return "indicator";
    case MessageKind::Terminal:
        return "terminal";
    }
    return "";
}
